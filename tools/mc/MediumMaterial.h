#pragma once

#include "dose/Medium.h"
#include "tools/xrl/XrayLib.h"

namespace veltrim::mc {

// The composition and density the transport uses for a phantom medium.
inline xrl::Material MediumMaterial(Medium medium) {
    switch (medium) {
    case Medium::Icru44:
        return xrl::IcruSoftTissue44();
    case Medium::Water:
        return xrl::Water();
    case Medium::Pmma:
        return xrl::Pmma();
    case Medium::IcruFourComponent:
        break;
    }
    return xrl::IcruSoftTissue();
}

} // namespace veltrim::mc
