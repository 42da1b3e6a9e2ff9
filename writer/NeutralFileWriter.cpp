#include "writer/NeutralFileWriter.h"

#include <cstdint>

#include "corelib/Block.h"
#include "corelib/Clock.h"
#include "corelib/FileName.h"
#include "corelib/Platform.h"
#include "corelib/TokenStream.h"
#include "mentor/Units.h"

namespace {

VString timed(const wchar_t* format) {
    return VString::Formatted(format, platform::timeText().c_str());
}

}  // namespace

void NeutralFileWriter::readDocumentValues() {
    for (const MentorBS::MentorElement* element : elements) {
        if (const MentorBS::Board* board = element->asBoard()) {
            defaultUnits = unitAbbreviation(board->unitsName, unitScale);
            boardName = VString(board->name);
            boardOffsetX = board->offsetX;
            boardOffsetY = board->offsetY;
        } else if (const MentorBS::BoardAddedGeometry* added = element->asBoardAddedGeometry()) {
            extentX = added->x;
            extentY = added->y;
            // Whole-number quotient of the two integers. A divisor of 0 gives no scale, so
            // the one the units set stays. The quotient is taken in 64 bits because
            // INT_MIN / -1 does not fit 32.
            if (added->int3 != 0) {
                unitScale = static_cast<double>(static_cast<std::int64_t>(added->int2)
                                                / static_cast<std::int64_t>(added->int3));
            }
            break;
        }
    }
}

std::shared_ptr<io::CBlock> NeutralFileWriter::buildDocument(const VString& dateText,
                                                             io::CAbstract_ostream& log) {
    readDocumentValues();

    io::CBlockPtr root(L"VeltroNeutralFile");
    *root << (io::CBlock_func(L"Version") << L"4" << L"0");
    *root << (io::CBlock_func(L"Source")
              << VString(L"MentorBoard") << VString(L"Layout:v8.9_1.8") << VString(L""));
    *root << io::CBlock_named_value(L"Date", io::CBlock_value(dateText));
    *root << io::CBlock_named_value(L"DefaultUnits", io::CBlock_value(VString(defaultUnits)));

    // The blocks are built by their own writers as they land; until then each is written
    // empty, in its place.
    for (const wchar_t* name : {L"PadShapes", L"PadStacks", L"Symbols", L"Footprints", L"Materials",
                                L"Components", L"SchematicData"}) {
        *root << io::CBlockPtr(name);
    }
    io::logMessage(log, timed(L"Processing construction lines. Time: %s"));
    *root << io::CBlockPtr(L"LayoutData");
    io::logMessage(log, timed(L"Finished processing construction lines. Time: %s"));
    return root.shared();
}

void NeutralFileWriter::write(const std::string& designDirectory, const std::string& designName,
                              io::CAbstract_ostream& log) {
    const std::string baseName = designDirectory + "/" + designName + "_V4";
    const VString wideBaseName(baseName);
    boardOffsetX = 0;
    boardOffsetY = 0;

    const VString dateText = platform::timeText();
    platform::reporter().standardOutput(platform::timeText().ToNarrow());
    io::logMessage(log, VString::Formatted(L"Writing %s.vnf file. Time: %s", wideBaseName.c_str(),
                                           platform::timeText().c_str()));

    // The base name may itself hold dots (a design named "board.rev2"), so the extension
    // is appended rather than substituted.
    const LongFileName outputName(wideBaseName + VString(L".") + GetFileExtension(3));
    const LongFileName partialName(outputName.path() + VString(L".tmp"));

    const std::shared_ptr<io::CBlock> root = buildDocument(dateText, log);
    bool written = false;
    {
        io::CToken_grammar grammar;
        io::CToken_ostream out(partialName, 32);
        out.SetPrecision(16);
        if (out.IsOpen()) {
            out << *root;
            written = out.Close();
        }
    }
    if (!written || !ReplaceFile(partialName, outputName)) {
        RemoveFile(partialName);
        const std::string text = outputName.native() + " could not be written";
        MessageBoxA(nullptr, text.c_str(), "File I/O Error", MB_OK);
    }
    io::logMessage(log, timed(L"Done!Time: %s"));
}
