#include "usb/profile/Mp3ProfileRecord.h"

namespace Tessor::usb {

namespace {

using Tessor::schema::PROFILE_INT;

#define MP3_KEY(key, place) {key, (place) * sizeof(int32_t), PROFILE_INT, 4}

// "bBufNum" stands three times in the section and names one place.
const Tessor::schema::profile_entry_t entries[] = {
    MP3_KEY("NandEn", 0),
    MP3_KEY("CardEn", 1),
    MP3_KEY("LcmEn", 2),
    MP3_KEY("FmEn", 3),
    MP3_KEY("RecEn", 4),
    MP3_KEY("KeyEn", 5),
    MP3_KEY("SpiEn", 6),
    MP3_KEY("TwiEn", 7),
    MP3_KEY("bDecStaBufNum", 8),
    MP3_KEY("bDecUseBufNum", 9),
    MP3_KEY("bBufMsk", 10),
    MP3_KEY("bBufSize", 11),
    MP3_KEY("bBGPlay", 12),
    MP3_KEY("bShiftNum", 13),
    MP3_KEY("bQuanMode", 14),
    MP3_KEY("bLeftEn", 15),
    MP3_KEY("bRightEn", 16),
    MP3_KEY("bClkPin", 17),
    MP3_KEY("bInClkInv", 18),
    MP3_KEY("bLowPowr", 19),
    MP3_KEY("bDetMode", 20),
    MP3_KEY("wCmdRetry", 21),
    MP3_KEY("bWorkClk", 22),
    MP3_KEY("bSdcBusWide", 23),
    MP3_KEY("bSdcStaBufNum", 24),
    MP3_KEY("bSdcUseBufNum", 25),
    MP3_KEY("bBufNum", 43),
    MP3_KEY("bSsPulseLow", 27),
    MP3_KEY("bClkDivide", 28),
    MP3_KEY("bClkParit", 29),
    MP3_KEY("bSpmCsSel", 30),
    MP3_KEY("wProgLen", 31),
    MP3_KEY("bMLsbMsb", 32),
    MP3_KEY("bMClkPhase", 33),
    MP3_KEY("bDevType", 34),
    MP3_KEY("bBufNum", 43),
    MP3_KEY("bProgLen", 36),
    MP3_KEY("bClkDiv", 37),
    MP3_KEY("wProgTime", 38),
    MP3_KEY("bBusType", 39),
    MP3_KEY("bLcmBusWide", 40),
    MP3_KEY("bClkCyl", 41),
    MP3_KEY("bCsSel", 42),
    MP3_KEY("bBufNum", 43),
    MP3_KEY("bKeyMODE0", 44),
    MP3_KEY("bKeyMODE1", 45),
    MP3_KEY("bKeyMODE2", 46),
    MP3_KEY("bKeyNEXT0", 47),
    MP3_KEY("bKeyNEXT1", 48),
    MP3_KEY("bKeyNEXT2", 49),
    MP3_KEY("bKeyPREV0", 50),
    MP3_KEY("bKeyPREV1", 51),
    MP3_KEY("bKeyPREV2", 52),
    MP3_KEY("bKeyVOLD0", 53),
    MP3_KEY("bKeyVOLD1", 54),
    MP3_KEY("bKeyVOLD2", 55),
    MP3_KEY("bKeyVOLU0", 56),
    MP3_KEY("bKeyVOLU1", 57),
    MP3_KEY("bKeyVOLU2", 58),
    MP3_KEY("bBATData0", 59),
    MP3_KEY("bBATData1", 60),
    MP3_KEY("bBATData2", 61),
    MP3_KEY("bBATData3", 62),
    MP3_KEY("bKeyValid", 63),
    MP3_KEY("bKeyDelicacy", 64),
    MP3_KEY("bShortTime", 65),
    MP3_KEY("bLongTime", 66),
    MP3_KEY("bLedMode", 67),
};

}  // namespace

const Tessor::schema::profile_t Mp3ProfileFields = {static_cast<int>(sizeof entries / sizeof entries[0]), entries};

}  // namespace Tessor::usb
