#include "ui/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace {
constexpr int kDialogPointSize = 10;

int Scale(int units, int base, int divisor) {
    // Rounded to the nearest pixel, halves away from zero.
    const long long scaled = static_cast<long long>(units) * base;
    return static_cast<int>((scaled >= 0 ? scaled + divisor / 2 : scaled - divisor / 2) / divisor);
}
}

QFont DialogFont() {
    for (const char* family : {"IPAPGothic", "IPA Pゴシック"}) {
        if (QFontDatabase::hasFamily(QString::fromUtf8(family))) {
            QFont font(QString::fromUtf8(family));
            font.setPointSize(kDialogPointSize);
            return font;
        }
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(kDialogPointSize);
    return font;
}

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 letters, rounded to whole pixels.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = metrics.height();
}

int CDialogUnits::X(int units) const { return Scale(units, m_baseX, 4); }

int CDialogUnits::Y(int units) const { return Scale(units, m_baseY, 8); }

QRect CDialogUnits::Rect(int x, int y, int width, int height) const {
    return QRect(X(x), Y(y), X(width), Y(height));
}
