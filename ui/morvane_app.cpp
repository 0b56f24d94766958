#include "ui/morvane_app.h"

#include "ui/morvane_dlg.h"

int CMorvaneApp::Run(const std::vector<std::string>& files) {
    return RunWindow([&files](CAppState& state) {
        CMorvaneDlg window(state);
        window.OpenFiles(files);
        window.exec();
    });
}
