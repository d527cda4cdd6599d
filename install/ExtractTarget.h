#pragma once
// The file system side of member placement: one output file at a time.
#include <cstdint>

#include "install/ExtractArchive.h"

class ExtractTarget {
public:
    virtual ~ExtractTarget() = default;
    // True when the file can be opened for reading (then it is left alone).
    virtual bool FileExists(const char* path) = 0;
    // Creates the output file, replacing one that is there: ExtractOk,
    // ExtractFileInUse when another program holds it, ExtractLinkRefused when
    // the file or a folder on its way is a link, ExtractCreateError otherwise.
    virtual int CreateOutput(const char* path) = 0;
    // The output's final length, told before its first write so that the
    // file system can allocate it at once. Only a hint: a failure shows in
    // the writes.
    virtual void PlanOutput(uint32_t length) { (void)length; }
    // False on a failed or short write.
    virtual bool WriteOutput(const void* data, uint32_t length) = 0;
    // A member's whole data, read without a fault, in one piece. A target may
    // put the write off until after CloseOutput; a failure of it then shows
    // in LaterWriteFailed and SettleWrites instead.
    virtual bool WriteWholeOutput(const void* data, uint32_t length) { return WriteOutput(data, length); }
    // True once a write put off by WriteWholeOutput has failed.
    virtual bool LaterWriteFailed() { return false; }
    // Returns once every write put off is done: false when one failed.
    virtual bool SettleWrites() { return true; }
    // Cuts the output after the bytes written so far: a member that fails
    // half-way leaves what it wrote, not a file of the planned length.
    virtual void CutOutput() {}
    virtual void CloseOutput() = 0;
    // The personal documents folder into a 260-byte buffer: ExtractOk or ExtractCreateError.
    virtual int GetDocumentsFolder(char* buffer) = 0;
    // The folder members go under (the destination or the documents folder):
    // ExtractOk, ExtractLinkRefused when it is itself a link, or
    // ExtractCreateError. A target that has no links accepts every folder.
    virtual int TrustFolder(const char* folder) {
        (void)folder;
        return ExtractOk;
    }
    // Whether the file itself is a link, asked before it is recorded: the
    // log must not name a link that CreateOutput would then refuse.
    virtual bool IsLink(const char* path) {
        (void)path;
        return false;
    }
    // A folder below a trusted one, before anything goes into it: ExtractOk,
    // or ExtractLinkRefused when it is reached through a link.
    virtual int CheckFolder(const char* folder) {
        (void)folder;
        return ExtractOk;
    }
    // The stored name of a member that cannot be placed under its name here.
    virtual void NameRefused(const char* storedName) { (void)storedName; }
};
