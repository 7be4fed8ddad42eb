// One kind of firmware image: the pieces of every file of its list, in list
// order and, within a file, in piece order.
#pragma once

#include <list>
#include <string>

#include "schema/data/BaseData.h"
#include "usb/cfg/CodeTypes.h"

namespace Tessor::usb {

class ExternalCode : public schema::BaseData {
public:
    // The list stays owned by its source.
    ExternalCode(CODE_TYPE_T type, const std::list<std::string>* files, int sectorsPerPiece);

    // 0, or -1 at the first file that failed.
    int init() override;
    // The file init stopped at; empty after a success.
    const std::string& failedFile() const { return m_failedFile; }
    // Sectors over all pieces.
    int getCodeLength() const { return m_sectorsPerPiece * getCount(); }
    int getSectorsPerPiece() const { return m_sectorsPerPiece; }
    CODE_TYPE_T getCodeType() const { return m_type; }
    // The files of the list, comma-separated, for the operator's messages.
    std::string fileNames() const;

private:
    [[nodiscard]] int initOneFile(const std::string& file);
    int pieceCount(const std::string& file, int size);

    CODE_TYPE_T m_type;
    const std::list<std::string>* m_files;
    int m_sectorsPerPiece;
    std::string m_failedFile;
};

}  // namespace Tessor::usb
