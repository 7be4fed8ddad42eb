// Content the frame's areas and tables cannot hold fails only its own
// device, cleanly, while another device is produced at the same time.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "DpfStation.h"
#include "schema/base/LogCapture.h"

namespace dpf_test {
namespace {

using Tessor::schema::DpfConfig;
using Tessor::schema::DpfDataGroup;

const Geometry kGeometry{"6716", 1024, 64, 4};

// A content folder of `count` files of `size` bytes.
std::string folder(const std::string& name, const char* extension, int count, size_t size)
{
    const fs::path path = treeRoot() / "limits" / name;
    fs::remove_all(path);
    for (int i = 0; i < count; ++i) {
        char file[32];
        std::snprintf(file, sizeof file, "%02d%s", i, extension);
        writeFile(path / file, contentOf(name + file, size));
    }
    return "limits\\" + name + "\\";
}

struct LimitCase {
    const char* name;
    std::function<void(Tessor::schema::UsbDevice*, DpfConfig&)> arrange;
    int result;
    int code;
    const char* line;
    std::function<void(Tessor::schema::UsbDevice*)> inject = {};
};

TEST(DpfLimits, EachFailsItsDeviceWhileTheOtherIsProduced)
{
    LogCapture log(Tessor::schema::LOG_ERR);
    const std::vector<LimitCase> cases = {
        {"one photo more than the maximum",
         [](auto*, DpfConfig& c) {
             c.setMaxImagesCount(4);
             c.setHome4Photo(folder("photos5", ".img", 5, 32768));
         },
         -1, 0, "5 photos are more than the 4 a photo frame holds"},
        {"64 books",
         [](auto*, DpfConfig& c) { c.setHome4EBook(folder("books64", ".txt", 64, 700)); }, -1, 0,
         "64 books are more than the 63 a photo frame holds"},
        {"a photo over 64 sectors",
         [](auto*, DpfConfig& c) { c.setHome4Photo(folder("bigphoto", ".img", 1, 40000)); }, -1, 0,
         "of 80 sectors does not fit a photo slot of 64 sectors"},
        {"a menu file larger than the flash has room for",
         [](Tessor::schema::UsbDevice*, DpfConfig&) {},
         -0x803F, 0x803F, "DPF Address Allocation Failed",
         // Given to the device after it took the menus
         [](Tessor::schema::UsbDevice* d) {
             const std::string big = folder("bigmenu", ".img", 1, 32u << 20);
             Sptr<DpfDataGroup> group(new DpfDataGroup("Address4EnglishMainMenu-1", Tessor::schema::PHOTO_ADDRESS_T(3)));
             group->addOneFile("EnglishL0Clock", big + "00.img", 64);
             d->getDpfDevice()->setDataGroup(group);
         }},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        DpfStation station(2);
        Tessor::schema::UsbDevice* failing = station.plug(0, kGeometry);
        Tessor::schema::UsbDevice* good = station.plug(1, kGeometry);
        Sptr<DpfConfig> limited(new DpfConfig("Limited"));
        c.arrange(failing, *limited);
        Sptr<DpfConfig> normal(new DpfConfig("Normal"));
        int failingCode = 0;
        int goodCode = 0;
        int failingResult = 0;
        int goodResult = 1;
        std::thread other([&] { goodResult = DpfStation::produce(good, normal, &goodCode); });
        failingResult = DpfStation::produce(failing, limited, &failingCode, c.inject);
        other.join();
        EXPECT_EQ(c.result, failingResult);
        EXPECT_EQ(c.code, failingCode);
        EXPECT_NE(std::string::npos, log.text().find(c.line));
        EXPECT_EQ(0, goodResult);
        EXPECT_EQ(0, goodCode);
        EXPECT_EQ(0x55, station.reader(1).read(int64_t(11) * kGeometry.perBlock(), 1)[0]);
    }
}

}  // namespace
}  // namespace dpf_test
