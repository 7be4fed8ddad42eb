// The photo frame's basic settings: LCD type (which replaces the active LCD
// code image), screen rotation, the three menu colours, key timing,
// backlight, contrast, slide-show, power and sound values, the largest
// photo count and up to three e-books reflowed into the frame's e-book
// folder. Every value goes straight into the photo-frame settings of the
// current run settings. UI thread only.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "page/NumberEdit.h"
#include "page/PageConfig.h"
#include "platform/mfc/ColorRef.h"
#include "schema/dpf/DpfConfig.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace Tessor::page {

class CColorPicker;

class PageDpfBasicSetting : public PageConfig {
public:
    enum : int {
        IDD = 167,
        IDC_LCD_TYPE = 1233,
        IDC_ROTATE0 = 1235,  // to 1238: 0, 90, 180, 270 degrees
        IDC_PREVIEW = 1252,
        IDC_BACK_PICKER = 1014,
        IDC_FONT_PICKER = 1248,
        IDC_CURRENT_PICKER = 1249,
        IDC_BACK_COLOR = 1245,
        IDC_FONT_COLOR = 1251,
        IDC_CURRENT_COLOR = 1247,
        IDC_KEY_SHORT_MIN = 1253,
        IDC_KEY_SHORT_MAX = 1256,
        IDC_RESET_ALARM = 1282,
        IDC_MAX_PHOTO = 1290,
        IDC_EBOOK_RESET = 1062,
        IDC_EBOOK_NOTICE = 1295,
    };
    static constexpr int SLIDERS = 12;
    static constexpr int EBOOK_SLOTS = 3;
    // Slot k: path edit and browse button.
    static constexpr std::array<int, EBOOK_SLOTS> IDC_EBOOK_PATH = {1286, 1283, 1284};
    static constexpr std::array<int, EBOOK_SLOTS> IDC_EBOOK_BROWSE = {1017, 1015, 1016};
    // A book whose size, its low 20 bits cleared, exceeds this is refused.
    static constexpr int64_t EBOOK_SIZE_LIMIT = 8388608;

    explicit PageDpfBasicSetting(QWidget* parent = nullptr);

    // Colours: stored 0x00RRGGBB, shown 0x00BBGGRR, "#RRGGBB" in the buddies.
    static mfc::COLORREF storedToColorRef(int32_t stored);
    static int32_t colorTextToStored(const QString& text);
    // Hexadecimal digits after leading "0"s and "x"s; 0 for anything else
    // or more than 16 characters.
    static uint32_t parseHex(const QString& text);
    // The book's name in the e-book folder: its extension replaced whole by
    // "txt", ".txt" added to a name without one.
    static QString ebookOutputName(const QString& fileName);

    // Handlers, as the controls raise them.
    void OnCbnSelchangeLcdType();
    void OnBnClickedRotate(int quarterTurns);
    void OnEnChangeMenuColor(int editId);
    void OnEnChangeNumber(int editId);
    // Leaving a short-press or alarm edit whose text the field cannot take:
    // refused, and the stored value shown again.
    void OnEnKillfocusNumber(int editId);
    void OnSliderMoved(int row);
    void OnBnClickedBrowseText(int slot);
    void OnBnClickedReset();
    void OnEnKillfocusMaxPhotoCount();

    CColorPicker* picker(int id) const;
    QSlider* slider(int row) const { return m_sliders[size_t(row)]; }
    QLineEdit* sliderEdit(int row) const { return m_sliderEdits[size_t(row)]; }
    QComboBox* lcdTypes() const { return m_lcdType; }
    Sptr<schema::DpfConfig> dpfConfig() const { return m_dpfConfig; }

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    static const NumberRange& numberRange(int editId);
    static size_t numberIndex(int editId);
    int storedNumber(int editId) const;
    void storeNumber(int editId, int value);
    void loadLcdTypes();
    void showRotation(int quarterTurns);
    // The resource tree's path under the working folder, in the system's
    // text for the calls that translate it, and for the host.
    std::string systemPath(const std::string& relative) const;
    std::string hostPath(const std::string& relative) const;
    void importTextFile(const QString& path);
    void enableEbookSlots(bool enable);

    Sptr<schema::DpfConfig> m_dpfConfig;
    QComboBox* m_lcdType = nullptr;
    QLabel* m_preview = nullptr;
    std::array<QSlider*, SLIDERS> m_sliders{};
    std::array<QLineEdit*, SLIDERS> m_sliderEdits{};
    // What the short-press and alarm edits held when last left.
    std::array<int, 3> m_keptNumbers{};
    int m_ebookOpen = 0;
    int m_firstChangeGuard = 1;
};

}  // namespace Tessor::page
