// Save on the production-settings page renders the caption pictures of both
// languages into the station's working folder, one whose name is not plain
// ASCII, and a photo-frame device produced afterwards carries those very
// pictures in its menu areas, read back from its flash.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "page/PageUdisk.h"
#include "platform/mfc/FileDialog.h"
#include "platform/mfc/MessageBox.h"
#include "shell/Station.h"
#include "support/QtApp.h"
#include "support/TempFolder.h"
#include "usb/dpf/DpfRoad.h"
#include "platform/orrin/HostPath.h"

namespace {

using namespace Tessor;
using dpf_test::Bytes;
namespace fs = std::filesystem;

Bytes fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(UdiskPageSave, WritesTheCaptionPicturesTheProducedFrameCarries)
{
    test_support::qtApp();
    auto boxes = std::make_shared<mfc::HeadlessMessageBoxes>();
    mfc::setMessageBoxService(boxes);
    const fs::path work = dpf_test::DpfRoad::station();
    const fs::path back = fs::current_path();
    std::map<fs::path, Bytes> before;
    for (const auto& entry : fs::recursive_directory_iterator(work / "releases/dpf/menu")) {
        if (entry.is_regular_file()) {
            before[entry.path()] = fileBytes(entry.path());
        }
    }
    fs::current_path(work);
    {
        bridge_test::SheetStation station(1, schema::FUNCTION_FACTORY);
        station.sheet().show();
        station.sheet().SetActivePage(1);
        auto* page = dynamic_cast<page::PageUdisk*>(station.sheet().GetPage(1));
        ASSERT_NE(nullptr, page);
        ASSERT_EQ(work.string(), page->holder->getWorkDir());
        page->OnClickedSave();
    }
    fs::current_path(back);
    mfc::setMessageBoxService(nullptr);

    int bitmaps = 0;
    for (const auto& entry : fs::directory_iterator(work / "releases/res")) {
        const std::string name = entry.path().filename().string();
        bitmaps += entry.path().extension() == ".bmp" && name.rfind("menu", 0) != 0;
    }
    EXPECT_EQ(33, bitmaps);
    // Pictures written afresh: new, or other bytes than the tree had.
    int images = 0;
    for (const auto& entry : fs::recursive_directory_iterator(work / "releases/dpf/menu")) {
        if (entry.path().extension() == ".img" && before[entry.path()] != fileBytes(entry.path())) {
            ++images;
            EXPECT_EQ(32768u, fs::file_size(entry.path())) << entry.path();
        }
    }
    EXPECT_EQ(34, images);

    // Every menu area of a produced frame holds the files of the tree as
    // they are now, Save's pictures among them.
    dpf_test::DpfRoad road(dpf_test::Variant{"6716", 1}, 1);
    Sptr<schema::DpfConfig> config(new schema::DpfConfig("Saved"));
    config->setMaxImagesCount(64);
    const Bytes table = road.produce(0, config);
    ASSERT_FALSE(table.empty());
    const dpf_test::FlashReader flash = road.reader(0);
    for (const auto* row = schema::DpfDataFactory::table(); row->type != -1; ++row) {
        Bytes area;
        for (const auto* item = row->items; item->sectors > 0; ++item) {
            const Bytes file = dpf_test::padded(
                fileBytes(HostPath::toHost((work / "releases/dpf").string() + "/" + item->file)));
            area.insert(area.end(), file.begin(), file.end());
        }
        EXPECT_TRUE(flash.read(dpf_test::FlashReader::areaAddress(table, row->type), int64_t(area.size() / 512)) ==
                    area)
            << "area " << row->type;
    }
}

}  // namespace
