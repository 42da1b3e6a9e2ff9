#include "driver/BoardStationToVnf.h"

#include "corelib/Clock.h"
#include "corelib/TokenStream.h"
#include "driver/TranslationReport.h"
#include "mentor/GatesFileReader.h"
#include "mentor/GeometryFileReader.h"
#include "mentor/LayerFileReader.h"
#include "mentor/MentorParser.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/PinsFileReader.h"
#include "mentor/TechFileReader.h"
#include "mentor/TracesFileReader.h"
#include "prepare/PreparationPasses.h"
#include "writer/NeutralFileWriter.h"

namespace {

void logTimed(io::CAbstract_ostream& log, const wchar_t* format) {
    io::logMessage(log, VString::Formatted(format, platform::timeText().c_str()));
}

}  // namespace

BoardStationToVnf::BoardStationToVnf(const std::string& designDirectory, io::CAbstract_ostream& log,
                                     TranslationReport* report) {
    if (report) {
        report->beginPhase();
    }
    logTimed(log, L"Parsing Mentor ASCII files. Time: %s");
    MentorParser parser;

    // The readers run in this order: later ones look up what earlier ones stored (the
    // traces reader needs the technology file's layer numbers, the geometry reader the
    // board's units).
    readGatesFile(parser, designDirectory);
    readPinsFile(parser, designDirectory);
    readNeutralFile(parser, designDirectory);
    readLayerFile(parser, designDirectory);
    readGeometryFile(parser, designDirectory);
    std::map<int, std::string> techLayers;
    techLayers = readTechFile(parser, techLayers, designDirectory);
    readTracesFile(parser, designDirectory);

    m_model = parser.takeModel();
    m_model.techLayers = std::move(techLayers);
    logTimed(log, L"Finished parsing Mentor ASCII files. Time: %s");
    if (report) {
        report->endPhase(TranslationReport::Phase::Read);
    }

    prepareBoard(m_model, log);
    if (report) {
        report->endPhase(TranslationReport::Phase::Prepare);
        report->takeModel(m_model);
    }
}

void BoardStationToVnf::write(const std::string& designDirectory, const std::string& designName,
                              io::CAbstract_ostream& log, TranslationReport* report) const {
    if (report) {
        report->beginPhase();
    }
    writeNeutralFile(m_model, mergePlanes, designDirectory, designName, log,
                     report ? &report->written() : nullptr);
    if (report) {
        report->endPhase(TranslationReport::Phase::Write);
    }
}
