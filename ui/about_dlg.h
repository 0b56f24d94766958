#pragma once
#include <QDialog>

// The about box: the program's name and version and the makers' notice; OK or Escape closes it.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent);
};
