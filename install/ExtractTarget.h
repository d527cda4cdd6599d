#pragma once
// The file system side of member placement: one output file at a time.
#include <cstdint>

class ExtractTarget {
public:
    virtual ~ExtractTarget() = default;
    // True when the file can be opened for reading (then it is left alone).
    virtual bool FileExists(const char* path) = 0;
    // Creates or truncates the output file: ExtractOk, ExtractFileInUse when
    // another program holds it, ExtractCreateError otherwise.
    virtual int CreateOutput(const char* path) = 0;
    // False on a failed or short write.
    virtual bool WriteOutput(const void* data, uint32_t length) = 0;
    virtual void CloseOutput() = 0;
    // The personal documents folder into a 260-byte buffer: ExtractOk or ExtractCreateError.
    virtual int GetDocumentsFolder(char* buffer) = 0;
};
