#pragma once
#include "support/file_chooser.h"

// The file-open dialog as Qt shows it. Constructing one installs it for SelectFile;
// destroying it puts back the chooser installed before.
class CQtFileChooser : public IFileChooser {
public:
    CQtFileChooser();
    ~CQtFileChooser() override;
    CQtFileChooser(const CQtFileChooser&) = delete;
    CQtFileChooser& operator=(const CQtFileChooser&) = delete;

    bool Choose(std::string& path, const std::string& currentPath) override;

private:
    IFileChooser* m_previous;
};
