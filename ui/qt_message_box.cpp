#include "ui/qt_message_box.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/qt_text.h"

namespace {
// The parts of a box's style word.
constexpr unsigned kButtonMask = 0x000F;
constexpr unsigned kIconMask = 0x00F0;
constexpr unsigned kDefaultMask = 0x0F00;
constexpr unsigned kYesNo = 0x0004;
constexpr unsigned kSecondDefault = 0x0100;

QMessageBox::Icon IconOf(unsigned style) {
    switch (style & kIconMask) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}
}

CQtMessageBox::CQtMessageBox() : m_previous(SetMessageBox(this)) {}

CQtMessageBox::~CQtMessageBox() { SetMessageBox(m_previous); }

QWidget* DialogOwner() {
    QWidget* active = QApplication::activeWindow();
    if (active && active->isEnabled()) return active;
    QWidget* owner = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->isEnabled() && qobject_cast<QDialog*>(window)) owner = window;
    return owner;
}

int CQtMessageBox::Show(const CMessageBoxRequest& request) {
    QMessageBox box(IconOf(request.style), FromSystem(request.caption), DisplayText(request.text),
                    QMessageBox::NoButton, DialogOwner());
    box.setTextFormat(Qt::PlainText);
    if ((request.style & kButtonMask) == kYesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        yes->setText(FromSystem(request.yesCaption));
        no->setText(FromSystem(request.noCaption));
        box.setDefaultButton((request.style & kDefaultMask) == kSecondDefault ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? idYes : idNo;
    }
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return idOk;
}
