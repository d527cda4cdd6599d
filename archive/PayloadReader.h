#pragma once
// The decompressed payload as the member loop reads it: straight from the
// stream on the calling thread, or from a thread that decompresses ahead.
#include <cstdint>

class PayloadReader {
public:
    virtual ~PayloadReader() = default;
    // -1 once corrupt, 0 once the end of the payload is reached, else the
    // number of bytes delivered (0 to count).
    virtual int32_t Read(void* buffer, uint32_t count) = 0;
    bool ReadExact(void* buffer, uint32_t count) { return Read(buffer, count) == static_cast<int32_t>(count); }
    // Decompresses whatever is left up to the end of the deflate data and checks
    // the trailer; true when the payload is intact.
    virtual bool VerifyToEnd() = 0;
};
