#include "page/DpfMenuScreen.h"

#include "utils/BmpFile.h"
#include "utils/DpfDefaultFolders.h"
#include "platform/pelt/DeviceImage.h"
#include "utils/DpfImage.h"

namespace Tessor::page {

using mfc::COLORREF;

namespace {

// The faces the frame's pictures are drawn with: a Chinese face for
// captions and arrows, a bold sans for the key digits.
const char kCaptionFace[] = "WenQuanYi Micro Hei";
const char kDigitFace[] = "DejaVu Sans";

std::string join(const std::string& workDir, const std::string& relative)
{
    return workDir.empty() ? relative : workDir + "\\" + relative;
}

}  // namespace

DpfMenuScreen::DpfMenuScreen(COLORREF back, COLORREF word, const std::string& workDir)
    : m_image(pelt::newDpfScreen()), m_back(back), m_word(word), m_workDir(workDir)
{
    m_dc = std::make_unique<mfc::CDC>(&m_image);
    m_dc->SetPenColor(word);
    m_dc->SetTextColor(word);
    m_dc->SetBkColor(back);
    m_dc->SetBkMode(mfc::OPAQUE);
    m_dc->SelectFont(font());
    clear();
}

QFont DpfMenuScreen::font(int pixels, int weight)
{
    QFont font(kCaptionFace);
    font.setPixelSize(pixels);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

COLORREF DpfMenuScreen::colorOf(int32_t stored)
{
    const uint32_t value = static_cast<uint32_t>(stored);
    return ((value >> 16) & 0xFF) | (value & 0xFF00) | ((value & 0xFF) << 16);
}

QImage DpfMenuScreen::glyph(int number, COLORREF back, COLORREF word)
{
    QImage image(GLYPH_WIDTH, GLYPH_HEIGHT, QImage::Format_RGB32);
    mfc::CDC dc(&image);
    dc.FillRect(0, 0, GLYPH_WIDTH, GLYPH_HEIGHT, back);
    dc.SetTextColor(word);
    dc.SetBkColor(back);
    if (number < 10) {
        QFont digits(kDigitFace);
        digits.setPixelSize(12);
        digits.setBold(true);
        dc.SelectFont(digits);
        dc.TextOut(3, -1, QString::number(number));
    } else {
        dc.SelectFont(font());
        dc.TextOut(0, 0, number == 10 ? QString(QChar(0x2191)) : QString(QChar(0x2193)));
    }
    dc.SetPenColor(word);
    dc.MoveTo(0, 0);
    dc.LineTo(0, 12);
    dc.LineTo(13, 12);
    dc.LineTo(13, 0);
    dc.LineTo(0, 0);
    return image;
}

bool DpfMenuScreen::drawGlyphs(COLORREF back, COLORREF word, const std::string& workDir)
{
    bool written = true;
    for (int n = 0; n < GLYPHS; ++n) {
        const std::string name = std::string(utils::ResFolder) + "menu" + std::to_string(n) + ".bmp";
        written = utils::saveBitmapFile(glyph(n, back, word), join(workDir, name)) != 0 && written;
    }
    return written;
}

std::string DpfMenuScreen::underWorkDir(const std::string& relative) const { return join(m_workDir, relative); }

void DpfMenuScreen::clear() { m_dc->FillRect(0, 0, pelt::DPF_SCREEN_SIZE, pelt::DPF_SCREEN_SIZE, m_back); }

void DpfMenuScreen::separator()
{
    m_dc->MoveTo(0, SEPARATOR_Y);
    m_dc->LineTo(pelt::DPF_SCREEN_SIZE - 1, SEPARATOR_Y);
}

void DpfMenuScreen::cellText(int x, int y, const QString& text, const QFont& font)
{
    // The cell is as high as the font's pixel size, as the frame's fonts
    // are measured; the face's own line height would reach the separator.
    m_dc->SelectFont(font);
    m_dc->FillRect(x, y, x + m_dc->GetTextExtent(text).width(), y + font.pixelSize(), m_back);
    m_dc->SetBkMode(mfc::TRANSPARENT);
    m_dc->TextOut(x, y, text);
    m_dc->SetBkMode(mfc::OPAQUE);
}

void DpfMenuScreen::title(const QString& text, int x)
{
    m_dc->FillRect(0, 0, pelt::DPF_SCREEN_SIZE, SEPARATOR_Y, m_back);
    if (!text.isEmpty()) {
        cellText(x, TITLE_Y, text, font());
    }
}

void DpfMenuScreen::row(int index, const QString& caption, int step)
{
    const int y = FIRST_ROW_Y + step * index;
    const QImage number =
        utils::loadBitmapFile(underWorkDir(std::string(utils::ResFolder) + "menu" + std::to_string(index + 1) + ".bmp"));
    if (!number.isNull()) {
        m_dc->BitBlt(GLYPH_X, y, number.width(), number.height(), number, 0, 0);
    }
    cellText(CAPTION_X, y, caption, font());
}

void DpfMenuScreen::text(int x, int y, const QString& text, const QFont& font) { cellText(x, y, text, font); }

bool DpfMenuScreen::saveBitmap(const std::string& bmpName) const
{
    return utils::saveBitmapFile(m_image, underWorkDir(std::string(utils::ResFolder) + bmpName)) != 0;
}

bool DpfMenuScreen::save(const std::string& bmpName, const std::string& imgFolder, const std::string& imgName) const
{
    if (!saveBitmap(bmpName)) {
        return false;
    }
    return utils::convertBmpToImg(underWorkDir(imgFolder + imgName),
                                  underWorkDir(std::string(utils::ResFolder) + bmpName)) != 0;
}

}  // namespace Tessor::page
