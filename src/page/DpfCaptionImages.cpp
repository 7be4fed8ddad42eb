#include "page/DpfCaptionImages.h"

#include <vector>

#include "page/DpfMenuScreen.h"
#include "schema/dpf/DpfConfig.h"
#include "utils/DpfDefaultFolders.h"

namespace Tessor::page {

namespace {

enum Rows { NO_ROWS, SWITCH_ROWS, CONFIRM_ROWS, USB_ROWS, LANGUAGE_ROWS };

struct Texts {
    const char* chinese;
    const char* english;
};

const Texts kRowWords[][3] = {
    {},
    {{"开", "ON"}, {"关", "OFF"}, {"退出", "EXIT"}},
    {{"否", "NO"}, {"是", "YES"}, {"退出", "Exit"}},
    {{"充电", "USB CHARGE"}, {"联机", "USB UPDATE"}, {nullptr, nullptr}},
    {{"英文", "English"}, {"中文", "Chinese"}, {"退出", "Exit"}},
};

struct Caption {
    const char* name;
    bool mainMenu;
    Texts title;
    int chineseX;
    int englishX;
    bool separator;
    Rows rows;
    Texts range;
    Texts unit;
    bool stopwatch;
};

const Caption kCaptions[] = {
    {"Space", false, {nullptr, nullptr}, 0, 0, true, NO_ROWS, {}, {}, false},
    {"L1EBook", true, {"电子书", "EBook"}, 45, 45, true, NO_ROWS, {}, {}, false},
    {"Alarm2", false, {"闹钟", "Alarm"}, 45, 45, true, NO_ROWS, {}, {}, false},
    {"Alarm", false, {"闹钟", "Alarm"}, 45, 45, true, SWITCH_ROWS, {}, {}, false},
    {"Beep", false, {"按键音", "Beep"}, 45, 45, true, SWITCH_ROWS, {}, {}, false},
    {"UsbAuto", false, {"USB自动连接", "USB AUTO"}, 25, 30, true, SWITCH_ROWS, {}, {}, false},
    {"ClockOsd", false, {"屏幕显示时钟", "CLOCK  OSD"}, 20, 30, true, SWITCH_ROWS, {}, {}, false},
    {"SlideShowMenu", false, {"自动切换时间", "SLIDE  SHOW"}, 20, 30, true, SWITCH_ROWS, {}, {}, false},
    {"DeleteAll", false, {"删除全部", "DELETE ALL"}, 30, 30, true, CONFIRM_ROWS, {}, {}, false},
    {"DeleteOne", false, {"删除一个", "DELETE ONE"}, 30, 30, true, CONFIRM_ROWS, {}, {}, false},
    {"BackLight", false, {"背光", "Backlight"}, 45, 30, true, NO_ROWS, {"范围:    1--15", "Range:    1--15"}, {}, false},
    {"Contrast", false, {"对比度", "Contrast"}, 45, 30, true, NO_ROWS, {"范围:    1--12", "Range:    1--12"}, {}, false},
    {"SlideShowSetting", false, {"自动切换时间", "Slide Show"}, 20, 30, true, NO_ROWS,
     {"范围:    1--15", "Range:    1--15"}, {"秒", "Sec"}, false},
    {"AutoOff", false, {"自动关机时间", "Auto Off"}, 20, 30, true, NO_ROWS, {"范围:    1--30", "Range:    1--30"},
     {"分钟", "Min"}, false},
    {"L1Usb", true, {nullptr, nullptr}, 0, 0, false, USB_ROWS, {}, {}, false},
    {"Language", false, {"语言", "Language"}, 45, 30, true, LANGUAGE_ROWS, {}, {}, false},
    {"StopWatch", false, {"秒表", "Stop Watch"}, 45, 30, true, NO_ROWS, {}, {}, true},
};

QString pick(const Texts& texts, bool chinese)
{
    const char* text = chinese ? texts.chinese : texts.english;
    return text ? QString::fromUtf8(text) : QString();
}

void polyline(mfc::CDC& dc, std::initializer_list<QPoint> points)
{
    const QPoint* first = points.begin();
    dc.MoveTo(first->x(), first->y());
    for (const QPoint* p = first + 1; p != points.end(); ++p) {
        dc.LineTo(p->x(), p->y());
    }
}

void drawStopwatch(DpfMenuScreen& screen, mfc::COLORREF back, mfc::COLORREF word, bool chinese)
{
    mfc::CDC& dc = screen.dc();
    polyline(dc, {{6, 40}, {120, 40}, {120, 86}, {6, 86}, {6, 40}});
    polyline(dc, {{12, 46}, {114, 46}, {114, 80}, {12, 80}, {12, 46}});
    polyline(dc, {{12, 46}, {6, 40}});
    polyline(dc, {{114, 46}, {120, 40}});
    polyline(dc, {{114, 80}, {120, 86}});
    polyline(dc, {{12, 80}, {6, 86}});
    dc.FillRect(45, 60, 49, 64, word);
    dc.FillRect(45, 68, 49, 72, word);
    dc.SetBrushColor(back);
    dc.Rectangle(1, 114, 29, 126);
    dc.Rectangle(49, 114, 77, 126);
    dc.Rectangle(97, 114, 126, 126);
    screen.text(4, 115, "S/P", DpfMenuScreen::font());
    screen.text(52, 115, chinese ? QString::fromUtf8("退出") : QString("Exit"), DpfMenuScreen::font());
    screen.text(100, 115, chinese ? QString::fromUtf8("清零") : QString("CLR"), DpfMenuScreen::font());
}

}  // namespace

void buildMenuImages(const Sptr<schema::ConfigInfo>& settings, int language, const std::string& workDir)
{
    Sptr<schema::DpfStateControl> state = settings->getDpfConfig()->getStateControl();
    const mfc::COLORREF back = DpfMenuScreen::colorOf(state->BackColour);
    const mfc::COLORREF word = DpfMenuScreen::colorOf(state->WordColour);
    const bool chinese = language != 0;
    const std::string mainFolder = chinese ? utils::ChineseMainMenuFolder : utils::EnglishMainMenuFolder;
    const std::string subFolder = chinese ? utils::ChineseSubMenuFolder : utils::EnglishSubMenuFolder;
    for (const Caption& caption : kCaptions) {
        // Every picture on a cleared screen, so it holds its own elements only.
        DpfMenuScreen screen(back, word, workDir);
        if (caption.separator) {
            screen.separator();
        }
        screen.title(pick(caption.title, chinese), chinese ? caption.chineseX : caption.englishX);
        for (int row = 0; caption.rows != NO_ROWS && row < 3; ++row) {
            const QString words = pick(kRowWords[caption.rows][row], chinese);
            if (!words.isEmpty()) {
                screen.row(row, words);
            }
        }
        if (caption.range.chinese) {
            screen.text(2, 111, pick(caption.range, chinese), DpfMenuScreen::font());
        }
        if (caption.unit.chinese) {
            screen.text(80, 51, pick(caption.unit, chinese), DpfMenuScreen::font(11, 400));
        }
        if (caption.stopwatch) {
            drawStopwatch(screen, back, word, chinese);
        }
        const std::string name = caption.name;
        const std::string image = name + ".img";
        if (name == "Space") {
            screen.save("Space.bmp", utils::ChineseSubMenuFolder, image);
            screen.save("Space.bmp", utils::EnglishSubMenuFolder, image);
            continue;
        }
        screen.save((chinese ? "" : "E_") + name + ".bmp", caption.mainMenu ? mainFolder : subFolder, image);
    }
}

}  // namespace Tessor::page
