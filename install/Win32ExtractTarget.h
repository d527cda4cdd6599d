#pragma once
#include <windows.h>

#include <string>

#include "install/BackgroundCloser.h"
#include "install/ExtractTarget.h"
#include "install/LaterWrites.h"
#include "install/LinkGuard.h"

// Output files through handles that the LinkGuard checked, closed on threads
// of their own (see BackgroundCloser), small ones written there too (see
// LaterWrites); every one is written and closed when the target is destroyed.
class Win32ExtractTarget : public ExtractTarget {
public:
    Win32ExtractTarget();
    ~Win32ExtractTarget() override { CloseOutput(); }
    Win32ExtractTarget(const Win32ExtractTarget&) = delete;
    Win32ExtractTarget& operator=(const Win32ExtractTarget&) = delete;

    bool FileExists(const char* path) override;
    int CreateOutput(const char* path) override;
    void PlanOutput(uint32_t length) override;
    bool WriteOutput(const void* data, uint32_t length) override;
    bool WriteWholeOutput(const void* data, uint32_t length) override;
    bool LaterWriteFailed() override { return later_.Failed(); }
    bool SettleWrites() override;
    void CutOutput() override;
    void CloseOutput() override;
    int GetDocumentsFolder(char* buffer) override;
    int TrustFolder(const char* folder) override { return guard_.Trust(folder); }
    bool IsLink(const char* path) override;
    int CheckFolder(const char* folder) override { return guard_.CheckFolder(folder); }
    void NameRefused(const char* storedName) override { refusedName = storedName; }

    std::string refusedName;

private:
    LaterWrites later_;        // outlives the closers, which write from its slots
    BackgroundCloser closer_;  // destroyed after every handle went to it
    LinkGuard guard_;
    UnfollowedHandle output_;
    std::string missing_;    // the path FileExists last found missing
    void* held_ = nullptr;   // the output's write, put off
};
