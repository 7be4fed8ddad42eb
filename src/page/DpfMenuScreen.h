// One 128 x 128 photo-frame screen drawn in memory (never taken from the
// window): background, the separator under the title band, the title, rows
// of key-number glyph and caption, free texts. Texts use pinned fonts drawn
// without smoothing, so the pictures come out the same on every machine
// that has the fonts. The menu pages and the caption images draw with it,
// and the previews show the very image that is written.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/mfc/CDC.h"

namespace Tessor::page {

class DpfMenuScreen {
public:
    static constexpr int SEPARATOR_Y = 15;
    static constexpr int TITLE_Y = 1;
    static constexpr int FIRST_ROW_Y = 17;
    static constexpr int GLYPH_X = 2;
    static constexpr int CAPTION_X = 17;
    static constexpr int GLYPHS = 12;
    static constexpr int GLYPH_WIDTH = 14;
    static constexpr int GLYPH_HEIGHT = 13;

    // `workDir`: the working folder (the system's form) whose resource tree
    // holds the glyph bitmaps and takes the pictures.
    DpfMenuScreen(mfc::COLORREF back, mfc::COLORREF word, const std::string& workDir);

    // The menu font: `pixels` high, drawn without smoothing.
    static QFont font(int pixels = 13, int weight = 300);
    // A colour stored as 0x00RRGGBB as the drawing takes it (0x00BBGGRR).
    static mfc::COLORREF colorOf(int32_t stored);
    // Draws the twelve key-number glyphs "menu0.bmp" .. "menu11.bmp" (digits
    // 0 to 9, up and down arrows) in the colours; false when one cannot be
    // written.
    [[nodiscard]] static bool drawGlyphs(mfc::COLORREF back, mfc::COLORREF word, const std::string& workDir);
    static QImage glyph(int number, mfc::COLORREF back, mfc::COLORREF word);

    void clear();
    void separator();
    void title(const QString& text, int x);
    // Row `index` (0-based) of a list: glyph `index + 1` as the glyph file
    // holds it, then the caption; `step` pixels between rows.
    void row(int index, const QString& caption, int step = 16);
    void text(int x, int y, const QString& text, const QFont& font);
    mfc::CDC& dc() { return *m_dc; }
    const QImage& image() const { return m_image; }

    // Writes `bmpName` into the resource folder; false when it failed.
    bool saveBitmap(const std::string& bmpName) const;
    // Writes `bmpName` into the resource folder and, when that succeeded,
    // the picture file `imgName` into `imgFolder` (both under the working
    // folder); false when either failed.
    bool save(const std::string& bmpName, const std::string& imgFolder, const std::string& imgName) const;

private:
    void cellText(int x, int y, const QString& text, const QFont& font);
    std::string underWorkDir(const std::string& relative) const;

    QImage m_image;
    std::unique_ptr<mfc::CDC> m_dc;
    mfc::COLORREF m_back;
    mfc::COLORREF m_word;
    std::string m_workDir;
};

}  // namespace Tessor::page
