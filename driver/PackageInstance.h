#pragma once

#include <string>

/// Finds in "<packageDirectory>/pkginst.Pcb_pkginst.attr" the package-instance file it
/// refers to ("pkginst.pkginst_<n>", the last reference wins) and copies that file over
/// "<designDirectory>/MentorGatesFile". Silent on every failure: the run then reads
/// whatever gates file the design directory holds.
void convertPackageInstance(const std::string& packageDirectory,
                            const std::string& designDirectory);

/// The instance file name referred to by one line of the attribute file, or "" when the
/// line refers to none.
std::string packageInstanceReference(const std::string& line);
