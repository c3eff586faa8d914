#pragma once

#include <cstdlib>
#include <memory>

namespace quellex::platform {

struct XcbFree
{
    void operator()(void *p) const { std::free(p); }
};

// A reply or event from xcb, which hands them out to be freed with free().
template<typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

} // namespace quellex::platform
