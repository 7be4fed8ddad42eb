// Random partition layouts through the whole road, from plug-in to the end
// of the run: each ends built, every unit read by the standard tools as it
// was asked for (size, file system, label, content), or failed with a code
// and a message; never built and wrong. Factory layouts are started as the
// front ends start them, fitted to the device under either capacity policy,
// some with an encrypted first partition. The layouts come from a seed the
// test prints; TESSOR_LAYOUT_SEED=N replays another.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "HighFormatRoad.h"
#include "platform/orrin/CodePage.h"
#include "usb/cmd/SetList.h"

namespace {

using namespace engine_test;
using Tessor::schema::CAPACITY_POLICY_T;

constexpr int LAYOUTS = 30;
constexpr int PORTS = 5;  // devices produced at once
constexpr unsigned DEFAULT_SEED = 7;
// Room left for the partition of a factory layout that takes what the
// 1 Gbit device has beyond the others.
constexpr uint32_t FACTORY_ROOM = 180000;
constexpr uint32_t LOGIN_SECTORS = 24576;  // the login unit an encrypted first partition begins with
constexpr uint32_t FAT32_LOCAL_FIRST = 66644;  // fewer sectors: too few clusters for FAT32
constexpr uint32_t ROOMY = 8000;               // sectors a content folder fits in

struct Label {
    std::string text;     // in the code page
    bool allowed;         // FAT holds it
    std::string written;  // what the volume carries, without padding
};

struct Layout {
    bool large;  // a produced disk of over 2 GiB given its partitions by the user function
    CAPACITY_POLICY_T policy = Tessor::schema::CAPACITY_BEGIN_IS_FIRST;
    std::vector<Partition> partitions;
    std::vector<Label> labels;
    std::string text;
};

// A unit a built device must serve: what it holds and the sectors it may have.
struct Expected {
    int diskType;
    std::string content;
    Label label;
    int64_t least;
    int64_t most;
};

class Layouts {
public:
    explicit Layouts(unsigned seed) : m_random(seed)
    {
        const auto gbk = [](const char* utf8) { return Tessor::CodePage::fromUtf8(utf8); };
        m_allowed = {{"UNIT", true, "UNIT"},
                     {"", true, ""},
                     {"lower case", true, "lower case"},
                     {gbk("数据盘ABCDEF"), true, gbk("数据盘ABCDE")},
                     {gbk("ABCDEFGHIJ中"), true, "ABCDEFGHIJ"},
                     {gbk("中文标签"), true, gbk("中文标签")}};
        m_refused = {{"A/B", false, ""}, {"V1.0", false, ""}, {"A*B?", false, ""}, {" LEADING", false, ""}};
        contentWith("odd", {"中文 名字.txt", "Mixed Case.Txt", ".hidden", std::string(120, 'L') + ".txt",
                            "sub dir/ünï ß.TXT", "sub dir/README.TXT"});
        contentWith("unstorable", {"plain.txt", "smile\U0001F600.txt"});
    }

    Layout next()
    {
        Layout layout;
        layout.large = pick(5) == 0;
        if (!layout.large && pick(4) == 0) {
            layout.policy = Tessor::schema::CAPACITY_RATIONAL;
        }
        const int count = 1 + pick(3);
        for (int i = 0; i < count; ++i) {
            const bool last = i == count - 1;
            Partition p = layout.large ? largePartition(i) : partition(last);
            p.encrypted = !layout.large && i == 0 && p.diskType != DISK_CDROM && pick(4) == 0;
            const Label label = this->label();
            p.label = label.text;
            layout.labels.push_back(label);
            layout.partitions.push_back(p);
        }
        layout.text = describe(layout);
        return layout;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    // Mostly one FAT allows, often of double-byte characters drawn over
    // every lead byte.
    Label label()
    {
        if (pick(10) < 3) {
            return gbkLabel();
        }
        const std::vector<Label>& from = pick(10) < 8 ? m_allowed : m_refused;
        return from[size_t(pick(int(from.size())))];
    }

    // One to five characters of the code page, each of a lead byte from 0x81
    // to 0xFE (0xE5 marks a deleted directory entry) and a trail byte that
    // makes a character with it.
    Label gbkLabel()
    {
        std::string text;
        std::string readable;
        for (int n = 1 + pick(5); n > 0; --n) {
            std::string character;
            do {
                const int trail = 0x40 + pick(0xFE - 0x40);
                character = {char(0x81 + pick(0xFE - 0x81 + 1)), char(trail >= 0x7F ? trail + 1 : trail)};
            } while (!Tessor::CodePage::toUtf8(character, &readable));
            text += character;
        }
        return {text, true, text};
    }

    // Mostly one the volume can hold: one it cannot fails its device.
    std::string content()
    {
        static const char* contents[] = {"", "first", "odd"};
        return pick(20) == 0 ? "unstorable" : contents[pick(3)];
    }

    template <size_t N>
    uint32_t oneOf(const uint32_t (&sizes)[N])
    {
        return sizes[size_t(pick(int(N)))];
    }

    // Sizes about the smallest volume, the FAT12/16 and the FAT16/32 choice.
    Partition partition(bool last)
    {
        static const uint32_t tiny[] = {56, 57, 62, 119, 120};
        static const uint32_t takesTheRest[] = {REST, 2, 56, 119};
        static const uint32_t removable[] = {100, 8400, 8401, 12288, 32680, 32681, 60000};
        static const uint32_t local[] = {8463, 8464, 66643, 66644, 70000};
        static const uint32_t cdrom[] = {64, 4096, 4096};
        Partition p{DISK_REMOVABLE, 0, content()};
        const int kind = pick(10);
        if (kind < 2) {
            p.diskType = DISK_CDROM;
            p.sectors = oneOf(cdrom);
            p.content = "iso";
            return p;
        }
        p.diskType = kind < 6 ? DISK_REMOVABLE : DISK_LOCAL;
        if (last && pick(2) == 0) {
            // A size the fit replaces when the last takes the rest.
            p.sectors = oneOf(takesTheRest);
        } else if (pick(8) == 0) {
            // Too small for content: its file system is what is tried.
            p.sectors = oneOf(tiny);
            p.content.clear();
        } else {
            p.sectors = p.diskType == DISK_LOCAL ? oneOf(local) : oneOf(removable);
        }
        return p;
    }

    Partition largePartition(int index)
    {
        static const uint32_t sizes[] = {4194304, 4194305, 8400, 8401};
        Partition p{pick(2) == 0 ? DISK_REMOVABLE : DISK_LOCAL, oneOf(sizes), content()};
        if (index == 0 && p.sectors < 8402) {
            p.sectors = 4194304 + uint32_t(pick(2));
        }
        return p;
    }

    static std::string describe(const Layout& layout)
    {
        std::ostringstream out;
        out << (layout.large ? "large user layout:"
                             : layout.policy == Tessor::schema::CAPACITY_RATIONAL ? "factory layout, shared out:"
                                                                                   : "factory layout, sizes kept:");
        for (size_t i = 0; i < layout.partitions.size(); ++i) {
            const Partition& p = layout.partitions[i];
            out << " [" << (p.encrypted ? "encrypted " : "")
                << (p.diskType == DISK_CDROM ? "cdrom" : p.diskType == DISK_LOCAL ? "local" : "removable") << " "
                << p.sectors << " label \"" << Tessor::CodePage::toUtf8(p.label) << "\" content \"" << p.content
                << "\"]";
        }
        return out.str();
    }

    std::mt19937 m_random;
    std::vector<Label> m_allowed;
    std::vector<Label> m_refused;
};

// Sectors of each partition once fitted to `usable` sectors, or the least
// it may have where the fit shares the sectors out.
std::vector<int64_t> fittedSectors(const Layout& layout, int64_t usable)
{
    const std::vector<Partition>& parts = layout.partitions;
    std::vector<int64_t> sectors;
    for (const Partition& p : parts) {
        sectors.push_back(p.sectors);
    }
    if (layout.large) {
        return sectors;
    }
    const int64_t count = int64_t(parts.size());
    if (layout.policy == Tessor::schema::CAPACITY_RATIONAL) {
        int64_t cdrom = 0;
        for (const Partition& p : parts) {
            cdrom += p.diskType == DISK_CDROM ? p.sectors : 0;
        }
        for (size_t i = 0; i < parts.size(); ++i) {
            if (parts[i].diskType != DISK_CDROM) {
                sectors[i] = (usable - cdrom) / count - 1;
            }
        }
        return sectors;
    }
    // The last takes the rest, or an encrypted first beside later ones; a
    // CD-ROM partition keeps its size wherever it is.
    const bool lastTakes = parts.back().diskType != DISK_CDROM;
    const size_t taker = parts[0].encrypted ? 0 : parts.size() - 1;
    if (lastTakes) {
        int64_t others = 0;
        for (size_t i = 0; i < parts.size(); ++i) {
            others += i == taker ? 0 : parts[i].sectors;
        }
        sectors[taker] = usable - others;
    }
    return sectors;
}

// The units of a built device, in the table's order: an encrypted first
// partition gives the login unit first and its hidden unit last.
std::vector<Expected> expectedUnits(const Layout& layout, int64_t usable)
{
    const std::vector<int64_t> sectors = fittedSectors(layout, usable);
    const bool shared = !layout.large && layout.policy == Tessor::schema::CAPACITY_RATIONAL;
    std::vector<Expected> units;
    const Partition& first = layout.partitions[0];
    if (first.encrypted) {
        units.push_back({DISK_REMOVABLE, "login", {"login", true, "login"}, LOGIN_SECTORS, LOGIN_SECTORS});
    }
    for (size_t i = first.encrypted ? 1 : 0; i < layout.partitions.size(); ++i) {
        const Partition& p = layout.partitions[i];
        const bool exact = !shared || p.diskType == DISK_CDROM;
        units.push_back({p.diskType, p.content, layout.labels[i], sectors[i], exact ? sectors[i] : usable});
    }
    if (first.encrypted) {
        const int64_t hidden = sectors[0] - LOGIN_SECTORS;
        units.push_back({first.diskType, "", layout.labels[0], hidden, shared ? usable : hidden});
    }
    return units;
}

// A unit of at least `sectors` holds its file system and what is copied to it.
bool buildable(const Expected& unit, int64_t sectors)
{
    if (unit.diskType == DISK_CDROM) {
        return sectors >= 4096;
    }
    const bool holds = sectors >= (unit.diskType == DISK_LOCAL ? 120 : 57);
    const bool fits = unit.content.empty() || sectors >= ROOMY;
    return holds && fits && unit.content != "unstorable";
}

// Whether the device must be built: every unit buildable at its size, every
// label allowed and the sizes given within the device.
bool mustBuild(const Layout& layout, const std::vector<Expected>& units)
{
    uint64_t given = 0;
    for (size_t i = 0; i < layout.partitions.size(); ++i) {
        const Partition& p = layout.partitions[i];
        given += p.sectors == REST ? 0 : p.sectors;
        if (!layout.labels[i].allowed) {
            return false;
        }
    }
    for (const Expected& unit : units) {
        if (!buildable(unit, unit.least)) {
            return false;
        }
    }
    return layout.large || given <= FACTORY_ROOM;
}

unsigned seed()
{
    const char* text = std::getenv("TESSOR_LAYOUT_SEED");
    return text != nullptr ? unsigned(std::strtoul(text, nullptr, 10)) : DEFAULT_SEED;
}

// FAT bits of a unit of `sectors`, the first of a local disk being FAT32
// whenever it is large enough for FAT32's clusters.
int fatBits(int diskType, int index, int64_t sectors)
{
    if (diskType == DISK_LOCAL && index == 0 && sectors >= FAT32_LOCAL_FIRST) {
        return 32;
    }
    return sectors <= 8400 ? 12 : sectors <= 4194304 ? 16 : 32;
}

// The run's end as the tools read it: built with every unit as asked, or
// failed with a code and a message.
void expectSound(Engine& engine, int port, const Layout& layout)
{
    SCOPED_TRACE(layout.text);
    const std::string end = engine.waitRunEnded(port, ROAD_LIMIT);
    // Before the low format has laid its block sets, the device's own sectors.
    const Sptr<Tessor::usb::SetList> sets = engine.slot(port)->getSetList();
    const int64_t usable = sets ? sets->getValidateSectorsNumber() : *Tessor::shell::deviceSectors(*engine.slot(port));
    const std::vector<Expected> units = expectedUnits(layout, usable);
    if (end != "StateBuildOk") {
        ASSERT_EQ(end, "StateError");
        const int code = engine.ui().waitLastSignal(port, UI_SIG_STATUS);
        EXPECT_FALSE(mustBuild(layout, units)) << "code 0x" << std::hex << code << ": " << engine.ui().lastCause(port);
        EXPECT_GT(code, 0);
        EXPECT_NE(engine.ui().lastCause(port), "") << "code 0x" << std::hex << code;
        return;
    }
    ASSERT_EQ(engine.ui().waitLastSignal(port, UI_SIG_BUILD_OK), 0);
    const auto extent =
        layout.large ? VirtualDevice::ExportExtent::UpToLastWritten : VirtualDevice::ExportExtent::Whole;
    const std::vector<VirtualDevice::UnitCopy> copies = exportUnits(engine, port, extent);
    ASSERT_EQ(copies.size(), units.size());
    Volumes volumes(exportFolder(port));
    int64_t laid = 0;
    for (size_t i = 0; i < copies.size(); ++i) {
        SCOPED_TRACE("unit " + std::to_string(i));
        const Expected& unit = units[i];
        laid += copies[i].sectors;
        EXPECT_GE(copies[i].sectors, unit.least);
        EXPECT_LE(copies[i].sectors, unit.most);
        EXPECT_TRUE(unit.label.allowed);
        if (unit.diskType == DISK_CDROM) {
            volumes.expectUnit(copies[i], {CDROM_IMAGE, 0, "iso"});
            continue;
        }
        const Kind kind = unit.diskType == DISK_LOCAL ? LOCAL_FAT : REMOVABLE_FAT;
        volumes.expectUnit(copies[i], {kind, fatBits(unit.diskType, int(i), copies[i].sectors), unit.content,
                                       unit.label.written});
    }
    if (!layout.large) {
        EXPECT_LE(laid, usable);
    }
}

// The factory layouts on a 1 Gbit device each, `PORTS` at a time.
void runFactory(const std::vector<Layout>& layouts)
{
    for (size_t first = 0; first < layouts.size(); first += PORTS) {
        const int ports = int(std::min<size_t>(PORTS, layouts.size() - first));
        Engine engine(ports, FUNCTION_FACTORY);
        ASSERT_TRUE(engine.ui().waitLayerReady());
        for (int port = 0; port < ports; ++port) {
            const Layout& layout = layouts[first + size_t(port)];
            ASSERT_NO_FATAL_FAILURE(plugDevice(engine, port, "Layout" + std::to_string(first + size_t(port))));
            ASSERT_NO_FATAL_FAILURE(
                startAsFrontEnds(engine, port, settingsOf(engine, layout.partitions, 0, layout.policy)));
        }
        for (int port = 0; port < ports; ++port) {
            expectSound(engine, port, layouts[first + size_t(port)]);
        }
    }
}

// The large layouts on devices the factory produced first, their logical
// disks as large as the partitions together.
void runLarge(const std::vector<Layout>& layouts)
{
    for (size_t n = 0; n < layouts.size(); ++n) {
        const Layout& layout = layouts[n];
        int64_t sectors = 0;
        for (const Partition& p : layout.partitions) {
            sectors += p.sectors;
        }
        const std::string folder = EngineEnvironment::instance().makeDevice(
            "Large" + std::to_string(n), {{"Device.FlashId", "ECD35195"},
                                          {"Device.BlocksPerChip", "1024"},
                                          {"Device.PagesPerBlock", "64"},
                                          {"Device.LogicalSectors", std::to_string(sectors)}});
        {
            Engine factory(1, FUNCTION_FACTORY);
            ASSERT_NO_FATAL_FAILURE(produce(factory, folder, settingsOf(factory, {{DISK_REMOVABLE, REST, ""}}, 0)));
        }
        Engine engine(1, FUNCTION_USER);
        ASSERT_TRUE(engine.ui().waitLayerReady());
        std::string error;
        ASSERT_EQ(engine.hub().plug(0, folder, &error), 0) << error;
        ASSERT_TRUE(engine.waitState(0, "StateWait")) << engine.stateOf(0);
        engine.start(0, settingsOf(engine, layout.partitions, sectors));
        expectSound(engine, 0, layout);
    }
}

TEST(EngineLayoutProperty, EveryRandomLayoutIsBuiltRightOrFailsWithACodeAndAMessage)
{
    const unsigned layoutSeed = seed();
    std::cout << "layout seed " << layoutSeed << " (TESSOR_LAYOUT_SEED)" << std::endl;
    RecordProperty("layout_seed", std::to_string(layoutSeed));
    const Station6716 station;
    UsbConfiguration::instance()->setLoginIsoFile(Content::instance().path("login"));
    Layouts draw(layoutSeed);
    std::vector<Layout> factory;
    std::vector<Layout> large;
    for (int i = 0; i < LAYOUTS; ++i) {
        Layout layout = draw.next();
        std::cout << "layout " << i << ": " << layout.text << std::endl;
        (layout.large ? large : factory).push_back(layout);
    }
    runFactory(factory);
    runLarge(large);
}

}  // namespace
