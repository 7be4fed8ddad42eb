// The demo station's photo-frame settings through the pages that edit them:
// every value stays as the sample holds it, none is taken for out of range,
// and the clock preview keeps the time and the date apart.
#include <QRect>
#include <QSpinBox>
#include <sstream>

#include "DpfPageFixture.h"
#include "page/DpfResourceBitmaps.h"
#include "page/PageDpfBasicSetting.h"
#include "page/PageDpfControlSetting.h"
#include "page/PageDpfPositionSetting.h"
#include "platform/ini/Ini.h"
#include "support/Screenshot.h"
#include "usb/profile/ProfileDpf.h"

namespace dpf_page_test {
namespace {

using Tessor::page::PageDpfControlSetting;
using R = Tessor::page::DpfResourceBitmaps;

class SampleFrameSettings : public DpfPageFixture {};

TEST_F(SampleFrameSettings, ThePagesKeepEverySampleValue)
{
    const std::string sample = std::string(TESSOR_SAMPLES) + "/releases/usr/etc/DpfConfig.ini";
    const std::string saved = (root() / "DpfConfig.ini").string();
    fs::copy_file(sample, saved);
    Tessor::schema::UsbConfiguration::instance()->setDpfFileName(saved);
    Tessor::usb::ProfileDpf profile("DpfConfig");
    m_holder->getConfigInfo()->setDpfConfig(profile.getDpfConfig());

    Tessor::page::PageDpfBasicSetting basic;
    Tessor::page::PageDpfPositionSetting position;
    PageDpfControlSetting control;
    for (Tessor::page::PageConfig* page : std::initializer_list<Tessor::page::PageConfig*>{&basic, &position, &control}) {
        page->holder = m_holder.get();
        page->show();
    }
    ASSERT_EQ(0, profile.setDpfConfig(profile.getDpfConfig()));
    std::istringstream lines(readBytes(sample));
    int keys = 0;
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        ++keys;
        char value[300] = {};
        GetPrivateProfileStringA("DpfConfig", line.substr(0, equals).c_str(), "", value, sizeof value, saved.c_str());
        EXPECT_EQ(line.substr(equals + 1), value) << line;
    }
    EXPECT_GT(keys, 170);
    EXPECT_TRUE(m_boxes->texts().isEmpty()) << m_boxes->texts().join(" | ").toStdString();

    // The digital clock as the preview draws it: "HH:mm" in large cells with
    // the seconds after them, the date in ten small cells.
    const QRect time(control.upDown(PageDpfControlSetting::IDC_TIME_X)->value(),
                     control.upDown(PageDpfControlSetting::IDC_TIME_Y)->value(),
                     5 * R::LARGE_CELL.width() + 2 * R::SMALL_CELL.width(), R::LARGE_CELL.height());
    const QRect date(control.upDown(PageDpfControlSetting::IDC_DATE_X)->value(),
                     control.upDown(PageDpfControlSetting::IDC_DATE_Y)->value(), 10 * R::SMALL_CELL.width(),
                     R::SMALL_CELL.height());
    EXPECT_FALSE(time.intersects(date)) << time.x() << "," << time.y() << " and " << date.x() << "," << date.y();
    test_support::saveScreenshot(control, "page_dpf_control_setting_sample");
    test_support::saveScreenshot(position, "page_dpf_position_setting_sample");
}

}  // namespace
}  // namespace dpf_page_test
