// The tests' fixture for what a server answers over an archive it does not
// change: the paged archive, indexed and served once for a whole suite.
#pragma once

#include "serve/page_html.h"
#include "serve/paged_archive.h"
#include "serve/served_index.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <string>

namespace velmora::testing {

class ServedArchive : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        archive_ = std::make_unique<PagedArchive>();
        served_ = std::make_unique<ServedIndex>(archive_->root.path());
    }
    static void TearDownTestSuite() {
        served_.reset();
        archive_.reset();
    }

    static const PagedArchive& archive() { return *archive_; }
    static ServedIndex& served() { return *served_; }

    static httplib::Result get(const std::string& target) { return served().client().Get(target); }

    // The id the index gives the deal of `path`, as /api/search tells it; 0
    // when it names none.
    static std::int64_t idOf(const std::string& path) {
        const httplib::Result found =
            get("/api/search?where=" + serve::percentEncoded("path=" + path));
        if (!found || found->status != 200 || found->body.empty())
            return 0;
        return nlohmann::json::parse(found->body.substr(0, found->body.find('\n')))["id"];
    }

private:
    static inline std::unique_ptr<PagedArchive> archive_;
    static inline std::unique_ptr<ServedIndex> served_;
};

} // namespace velmora::testing
