// A design loaded to compare with, as the Valve Events window holds it: a window that shows the
// design's numbers reaches the reference through this and shows the reference's beside them,
// without knowing the window that loaded it.
#pragma once

#include <cstdint>

#include "core/model/model.h"

namespace tarn {

class ReferenceDesignSource {
public:
    // The reference design, or nullptr when none is loaded.
    virtual const Model* ReferenceDesign() const = 0;
    // Changes whenever a reference is loaded or cleared.
    virtual std::uint64_t ReferenceDesignVersion() const = 0;

protected:
    ~ReferenceDesignSource() = default;
};

}  // namespace tarn
