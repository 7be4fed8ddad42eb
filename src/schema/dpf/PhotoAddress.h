// The flash areas of a photo frame. Areas 1 to 29 hold the menu, digit,
// logo and font pictures of the data group of the same number.
#pragma once

namespace Tessor::schema {

enum PHOTO_ADDRESS_T : int {
    ADDRESS_CFG_TABLE = 0,
    ADDRESS_MENU_FIRST = 1,
    ADDRESS_MENU_LAST = 29,
    ADDRESS_PHOTOS = 30,
    ADDRESS_PHOTO_STATE = 31,
    ADDRESS_PHOTO_MAP = 32,
    ADDRESS_BOOKS = 33,
    ADDRESS_BOOK_DIRECTORY = 34,
    ADDRESS_MOVIES = 35,
    ADDRESS_COUNT = 36,
};

}  // namespace Tessor::schema
