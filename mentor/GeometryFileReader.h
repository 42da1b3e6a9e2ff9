#pragma once

#include <string>
#include <string_view>

class MentorParser;

/// Reads "MentorGeometryFile" of the design directory: the drawn shapes of the board,
/// the component geometries, pins and vias (pages, polygons, paths, point-by-point
/// shapes, outlines, circles, texts) into the element list, and the layer lists of the
/// stackups. Shapes of pins and vias on conductive layers are merged per owner and layer
/// into one outline at the end. Needs the board's units (the neutral file). A missing
/// file ends the process (status 0) after a message box. Returns true.
bool readGeometryFile(MentorParser& parser, const std::string& designDirectory);
/// Reads the text of a geometry file, as readGeometryFile does with the file's contents.
bool readGeometryText(MentorParser& parser, std::string_view text);
