#pragma once

// Internal to the Firebird access layer: XSQLDA memory, the buffers of the values it points
// at, and reading one described value.

#include "platform/FbApi.h"
#include "platform/FbStatement.h"

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace platform::fbapi {

// An XSQLDA with room for a number of variables. Buffers are attached separately because
// output and input variables get them in different ways.
class Sqlda {
public:
    Sqlda() { reserve(8); }

    XSQLDA* get() { return reinterpret_cast<XSQLDA*>(memory_.get()); }
    const XSQLDA* get() const { return reinterpret_cast<const XSQLDA*>(memory_.get()); }
    // The number of variables the statement described.
    size_t count() const { return static_cast<size_t>(get()->sqld); }
    // Whether the last describe found more variables than there was room for.
    bool tooSmall() const { return get()->sqld > get()->sqln; }
    // An empty XSQLDA with room for n variables.
    void reserve(size_t n);

    XSQLVAR& var(size_t index) { return get()->sqlvar[index]; }
    const XSQLVAR& var(size_t index) const { return get()->sqlvar[index]; }

private:
    std::unique_ptr<std::byte[]> memory_;
};

// Data buffers for output variables: each variable gets room for its described type and a
// NULL indicator, and is marked nullable so the server always fills the indicator.
class RowBuffer {
public:
    void attach(Sqlda& sqlda);

private:
    std::vector<std::max_align_t> data_;
    std::vector<short> indicators_;
};

FbType typeOf(const XSQLVAR& var);
FbColumn describe(const XSQLVAR& var);

} // namespace platform::fbapi
