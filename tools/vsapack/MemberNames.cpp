#include "MemberNames.h"

#include <algorithm>

#include "install/MemberPlacement.h"
#include "setup/NameChars.h"

std::string MemberPlace(const std::string& name) {
    PlacementFlags flags;
    bool myDocuments = false;
    const char* path = StripPlacementPrefixes(name.c_str(), &flags, &myDocuments);
    std::string folded(path);
    FoldSetName(&folded[0]);
    return (myDocuments ? "documents:" : "program:") + folded;
}

std::vector<std::pair<size_t, size_t>> SamePlaceMembers(const std::vector<std::string>& names) {
    std::vector<std::pair<std::string, size_t>> places;
    for (size_t i = 0; i < names.size(); ++i) places.emplace_back(MemberPlace(names[i]), i);
    std::sort(places.begin(), places.end());
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t i = 1; i < places.size(); ++i) {
        if (places[i].first == places[i - 1].first) pairs.emplace_back(places[i - 1].second, places[i].second);
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}
