#pragma once
// The two stores the books can be kept in, and the tests that run once on each.

#include <gtest/gtest.h>

#include <string>

enum class StoreKind { File, Server };

// The same tests on the data.db file and on a database server: Books keeps the kind in store_
// and reads it in its SetUp.
template <class Books>
class OnBothStores : public Books, public ::testing::WithParamInterface<StoreKind> {
  protected:
    void SetUp() override {
        this->store_ = GetParam();
        Books::SetUp();
    }
};

inline std::string StoreName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::File ? "File" : "Server";
}

#define LK_ON_BOTH_STORES(suite)                                                                   \
    INSTANTIATE_TEST_SUITE_P(Stores, suite, ::testing::Values(StoreKind::File, StoreKind::Server), \
                             StoreName)
