#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "ListingHandles.h"

using kestrel::arc::ListingHandles;

namespace {

// A listing of two entries; "bad" cannot be opened, "throw" throws while listing.
struct FakeListing {
    static inline int alive = 0;
    std::string path;
    int next = 0;
    FakeListing() { ++alive; }
    ~FakeListing() { --alive; }
    bool open(const std::string& p) {
        path = p;
        return p != "bad";
    }
    int findFirst(const char*, EntryInfo* e) {
        next = 0;
        return findNext(e);
    }
    int findNext(EntryInfo* e) {
        if (path == "throw") throw std::runtime_error("damaged");
        if (next == 2) return 1;
        std::snprintf(e->name, sizeof e->name, "entry%d", next++);
        return 0;
    }
};

}  // namespace

TEST(ListingHandles, ListsThroughLiveHandlesAndRefusesOthers) {
    ListingHandles<FakeListing> handles;
    EntryInfo e;
    std::memset(&e, 0, sizeof e);
    EXPECT_EQ(handles.open(nullptr), nullptr);
    EXPECT_EQ(handles.open("bad"), nullptr);
    EXPECT_EQ(FakeListing::alive, 0);  // a failed open keeps nothing

    void* h = handles.open("ok");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(handles.findFirst(h, "*.*", &e), 0);
    EXPECT_STREQ(e.name, "entry0");
    EXPECT_EQ(handles.findNext(h, &e), 0);
    EXPECT_NE(handles.findNext(h, &e), 0);
    EXPECT_EQ(handles.findFirst(h, "*.*", nullptr), -1);

    // A made-up pointer is never followed.
    int notAHandle = 0;
    EXPECT_EQ(handles.findFirst(&notAHandle, "*.*", &e), -1);
    EXPECT_EQ(handles.close(&notAHandle), -1);

    EXPECT_EQ(handles.close(h), 0);
    EXPECT_EQ(FakeListing::alive, 0);
    // Closed once: the same pointer is stale now.
    EXPECT_EQ(handles.close(h), -1);
    EXPECT_EQ(handles.findNext(h, &e), -1);
}

TEST(ListingHandles, AThrowingListingEndsTheEnumerationInsteadOfCrossingTheCBoundary) {
    ListingHandles<FakeListing> handles;
    EntryInfo e;
    void* h = handles.open("throw");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(handles.findFirst(h, "*.*", &e), -1);
    EXPECT_EQ(handles.close(h), 0);
}
