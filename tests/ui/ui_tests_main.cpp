#include <QApplication>
#include <QTest>
#include <cstring>
#include <memory>
#include <vector>

#include "tests/ui/ui_tests.h"
#include "ui/dialog_units.h"

// Usage: morvane_ui_tests [SUITE [Qt Test options]]; without a suite every suite runs.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setFont(DialogFont());
    std::vector<std::unique_ptr<QObject>> suites;
    suites.push_back(std::make_unique<AppTest>());
    suites.push_back(std::make_unique<MainWindowTest>());
    suites.push_back(std::make_unique<JobTest>());
    suites.push_back(std::make_unique<PreviewWindowTest>());
    suites.push_back(std::make_unique<PlatformDialogsTest>());

    const char* chosen = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
    std::vector<char*> arguments {argv[0]};
    for (int i = chosen ? 2 : 1; i < argc; ++i) arguments.push_back(argv[i]);
    int failures = 0;
    bool found = false;
    for (const auto& suite : suites) {
        if (chosen && std::strcmp(suite->metaObject()->className(), chosen) != 0) continue;
        found = true;
        failures += QTest::qExec(suite.get(), static_cast<int>(arguments.size()), arguments.data());
    }
    if (!found) {
        qWarning("no test suite named %s", chosen);
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
