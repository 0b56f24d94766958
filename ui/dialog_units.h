#pragma once
#include <QFont>
#include <QRect>

// The font of the program's dialogs: a proportional gothic that has Japanese glyphs, 10 points.
QFont DialogFont();

// Dialog units of a font: a quarter of its average character width across, an eighth of its
// character height down.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect Rect(int x, int y, int width, int height) const;
    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

private:
    int m_baseX;
    int m_baseY;
};
