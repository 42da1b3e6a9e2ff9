#pragma once

#include <map>
#include <string>

/// Adds the Board Station layer types the writer knows, with their neutral-file types,
/// to `table`; a type already present keeps its entry.
void fillLayerTypeTable(std::map<std::string, std::string>& table);
