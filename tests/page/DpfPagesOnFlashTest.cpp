// What the photo-frame pages write reaches a produced photo-frame device:
// a simulated device produced with the pages' settings and its flash read
// back the way the frame reads it.
#include <gtest/gtest.h>

#include <vector>

#include "page/PageDpfBasicSetting.h"
#include "platform/mfc/FileDialog.h"
#include "support/QtApp.h"
#include "usb/dpf/DpfStation.h"
#include "utils/EbookReflow.h"
#include "utils/MavikConfig.h"

namespace dpf_test {
namespace {

const Geometry kGeometry{"6716", 1024, 64, 4};

class PagesOnFlash : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test_support::qtApp(); }
    void SetUp() override
    {
        treeRoot();  // the working folder from here on
        Tessor::schema::UsbConfiguration::instance()->setCurrentFunction(Tessor::schema::FUNCTION_USER);
        m_holder = std::make_unique<Tessor::utils::MavikConfig>(nullptr);
        Tessor::mfc::setFileDialogService(m_files);
    }
    void TearDown() override { Tessor::mfc::setFileDialogService(nullptr); }

    std::unique_ptr<Tessor::utils::MavikConfig> m_holder;
    std::shared_ptr<Tessor::mfc::ScriptedFileDialogs> m_files = std::make_shared<Tessor::mfc::ScriptedFileDialogs>();
};

TEST_F(PagesOnFlash, AnImportedBookIsInTheDevicesEbookArea)
{
    std::string text;
    for (int i = 0; i < 400; ++i) {
        text += "Chapter " + std::to_string(i) + " of a story whose words wrap at the frame's line end.\r\n";
    }
    const fs::path source = treeRoot() / "incoming" / "Zz story.text";
    writeFile(source, Bytes(text.begin(), text.end()));

    Tessor::page::PageDpfBasicSetting page;
    page.holder = m_holder.get();
    page.show();
    page.OnBnClickedReset();
    m_files->answer(QString::fromStdString(source.string()));
    page.OnBnClickedBrowseText(0);

    DpfStation station(1);
    Tessor::schema::UsbDevice* device = station.plug(0, kGeometry);
    int code = 0;
    ASSERT_EQ(0, DpfStation::produce(device, page.dpfConfig(), &code));
    EXPECT_EQ(0, code);

    const FlashReader flash = station.reader(0);
    const Bytes table = findDpfTable(flash, kGeometry);
    ASSERT_FALSE(table.empty());
    const Bytes directory = readEbookDirectory(flash, table);
    // The reset emptied the folder: the imported book is the only one.
    EXPECT_EQ(1, directory[0]);
    EXPECT_EQ(Bytes({'Z', 'z', ' ', 's', 't', 'o', 'r', 'y', 0xFF, 0xFF}), Bytes(directory.begin() + 1, directory.begin() + 11));
    EXPECT_EQ(2, directory[32]);
    std::vector<unsigned char> expected;
    Tessor::utils::reflowEbookText(reinterpret_cast<const unsigned char*>(text.data()), int32_t(text.size()),
                                   &expected);
    EXPECT_TRUE(readBook(flash, directory, 0, kGeometry) == expected);
}

}  // namespace
}  // namespace dpf_test
