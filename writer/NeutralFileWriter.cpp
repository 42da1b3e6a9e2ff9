#include "writer/NeutralFileWriter.h"

#include "corelib/Clock.h"
#include "corelib/FileName.h"
#include "corelib/Platform.h"
#include "corelib/TokenStream.h"
#include "writer/Components.h"
#include "writer/DocumentContext.h"
#include "writer/Footprints.h"
#include "writer/Layers.h"
#include "writer/LayoutData.h"
#include "writer/PadShapes.h"
#include "writer/PadStacks.h"

namespace {

VString timed(const wchar_t* format) {
    return VString::Formatted(format, platform::timeText().c_str());
}

}  // namespace

io::CBlockPtr buildDocument(const MentorBS::BoardModel& model, DocumentContext& context,
                            const VString& dateText, io::CAbstract_ostream& log) {
    io::CBlockPtr root(L"VeltroNeutralFile");
    *root << (io::CBlock_func(L"Version") << L"4" << L"0");
    *root << (io::CBlock_func(L"Source")
              << VString(L"MentorBoard") << VString(L"Layout:v8.9_1.8") << VString(L""));
    *root << io::CBlock_named_value(L"Date", io::CBlock_value(dateText));
    *root << io::CBlock_named_value(L"DefaultUnits",
                                    io::CBlock_value(VString(context.defaultUnits)));

    // The pad shapes come first: they leave the names the padstacks and footprints use.
    *root << buildPadShapes(model, context);
    *root << buildPadStacks(model, context);
    *root << buildSymbols(model, context);
    *root << buildFootprints(model, context);
    *root << buildMaterials(model, context);
    *root << buildComponents(model, context);
    *root << buildSchematicData(model, context);
    io::logMessage(log, timed(L"Processing construction lines. Time: %s"));
    *root << buildLayoutData(model, context);
    io::logMessage(log, timed(L"Finished processing construction lines. Time: %s"));
    return root;
}

void writeNeutralFile(const MentorBS::BoardModel& model, bool mergePlanes,
                      const std::string& designDirectory, const std::string& designName,
                      io::CAbstract_ostream& log, WrittenDocument* written) {
    const std::string baseName = designDirectory + "/" + designName + "_V4";
    const VString wideBaseName(baseName);

    const VString dateText = platform::timeText();
    platform::reporter().standardOutput(platform::timeText().ToNarrow());
    io::logMessage(log, VString::Formatted(L"Writing %s.vnf file. Time: %s", wideBaseName.c_str(),
                                           platform::timeText().c_str()));

    // The base name may itself hold dots (a design named "board.rev2"), so the extension
    // is appended rather than substituted.
    const LongFileName outputName(wideBaseName + VString(L".") + GetFileExtension(3));
    const LongFileName partialName(outputName.path() + VString(L".tmp"));

    DocumentContext context(model, mergePlanes);
    const io::CBlockPtr root = buildDocument(model, context, dateText, log);
    if (written) {
        written->summary = io::summarizeVnf(*root);
        written->emptyShrinks = context.emptyShrinks;
        written->netPinsWithoutTerminal = context.netPinsWithoutTerminal;
    }
    bool complete = false;
    {
        io::CToken_grammar grammar;
        io::CToken_ostream out(partialName, 32);
        out.SetPrecision(16);
        if (out.IsOpen()) {
            out << *root;
            complete = out.Close();
        }
    }
    if (!complete || !ReplaceFile(partialName, outputName)) {
        RemoveFile(partialName);
        const std::string text = outputName.native() + " could not be written";
        MessageBoxA(nullptr, text.c_str(), "File I/O Error", MB_OK);
    }
    io::logMessage(log, timed(L"Done!Time: %s"));
}
