#include "writer/Layers.h"

#include "writer/DocumentContext.h"

io::CBlockPtr buildMaterials(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"Materials");
}
