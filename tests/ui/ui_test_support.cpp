#include "tests/ui/ui_test_support.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdlib>

const char* const kDefinition = "ID,4,R,u,1,ID\r\nValue,2,R,n,1,Value\r\n";

const char* const kThreeRecordsText = "//ID,Value\r\n1,10\r\n2,-20\r\n3,30\r\n";

std::string ThreeRecords() {
    return std::string("\x01\0\0\0\x0A\0" "\x02\0\0\0\xEC\xFF" "\x03\0\0\0\x1E\0", 18);
}

std::string SelfInverseTable() {
    std::string table(256, '\0');
    for (int i = 0; i < 256; ++i) table[i] = static_cast<char>(255 - i);
    return table;
}

namespace {
std::string Encrypted(const std::string& bytes) {
    std::string result = bytes;
    for (char& c : result) c = static_cast<char>(255 - static_cast<unsigned char>(c));
    return result;
}

std::string TargetFile(const std::string& label, const std::string& binary, const std::string& text,
                       const std::string& more) {
    return "[FileInfo]\r\nLabel=" + label + "\r\nRecordDefinitionFileRP=def.txt\r\nBRecordSize=6\r\n"
           "BRecordCount=3\r\nTDelimiter=,\r\nBinaryFilePath=" + binary + "\r\nTextFilePath=" + text + "\r\n" + more;
}
}

CUiFixture::CUiFixture() {
    Write("def.txt", kDefinition);
    Write("data.bin", ThreeRecords());
    Write("enc.bin", Encrypted(ThreeRecords()));
    Write("decrypt.tbl", SelfInverseTable());
    Write("index.txt", "0\r\n2\r\n0\r\n");
    Write("target1.ini", TargetFile("Alpha", "data.bin", "data.csv", ""));
    Write("target2.ini", TargetFile("Beta", "enc.bin", "enc.csv", "B2TDecryptTableFileRP=decrypt.tbl\r\n"));
    Write("target3.ini", TargetFile("Gamma", "data.bin", "shop.csv", "BRecordIndexListFilePath=index.txt\r\n"));
    WriteSettings();
}

CUiFixture::~CUiFixture() { Close(); }

void CUiFixture::WriteSettings(const std::string& moreLines) const {
    Write("morvane.ini", "[FileInfoDefaultRP]\r\nFileInfo1=target1.ini\r\nFileInfo2=target2.ini\r\n"
                         "FileInfo3=target3.ini\r\n" + moreLines);
}

CMorvaneDlg& CUiFixture::Open() {
    Close();
    m_app = std::make_unique<CAppState>();
    m_app->LoadSettings(SettingsPath());
    m_window = std::make_unique<CMorvaneDlg>(*m_app, &m_shell);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get())) qWarning("the main window was not exposed");
    return *m_window;
}

void CUiFixture::Close() {
    m_window.reset();
    m_app.reset();
}

QWidget* CUiFixture::Control(int id) const {
    QWidget* control = m_window->findChild<QWidget*>(QString::number(id));
    if (!control) qFatal("no control %d", id);
    return control;
}

QString CUiFixture::Text(int id) const {
    QWidget* control = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
    if (auto* area = qobject_cast<QPlainTextEdit*>(control)) return area->toPlainText();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
    return static_cast<QAbstractButton*>(control)->text();
}

bool CUiFixture::Checked(int id) const { return static_cast<QAbstractButton*>(Control(id))->isChecked(); }

void CUiFixture::Click(int id) {
    QWidget* control = Control(id);
    // A check box takes clicks on its box; other controls anywhere.
    const QPoint where = qobject_cast<QCheckBox*>(control) ? QPoint(6, control->height() / 2) : control->rect().center();
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, where);
}

void CUiFixture::Type(int fieldId, const QString& text) {
    auto* field = static_cast<QLineEdit*>(Control(fieldId));
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

std::vector<std::string> CUiFixture::ShownTexts() const {
    std::vector<std::string> texts;
    for (const CMessageBoxRequest& box : m_env.m_box.m_shown) texts.push_back(box.text);
    return texts;
}
