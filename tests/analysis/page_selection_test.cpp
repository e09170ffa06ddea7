// Page selection: the index built from a document's page comments, the
// labels listed, the choice stored, and the walk composition makes of it.
#include "analysis/page_index.h"
#include "analysis/page_selection.h"

#include "analysis_test_support.h"

namespace {

class PageSelection : public AnalysisTest {
  protected:
    void TearDown() override {
        FreePageIndex();
        AnalysisTest::TearDown();
    }

    // The stream of `doc` analysed as a structured file, as the dispatcher
    // hands it over.
    FILE* Stream(const std::string& doc) {
        FileAnalysis* analysis = Analyze(doc);
        EXPECT_EQ(StructuredPostScript, analysis->kind);
        return analysis->file;
    }

    // The pages a walk returns, by the text of their first line's number.
    std::vector<std::string> Walk(const std::string& doc) {
        std::vector<std::string> pages;
        long long offset, length;
        while (NextSelectedPage(&offset, &length))
            pages.push_back(doc.substr(static_cast<size_t>(offset), static_cast<size_t>(length)));
        return pages;
    }

    static std::string Page(const std::string& doc, int n) {
        size_t start = doc.find("%%Page: " + std::to_string(n) + " ");
        size_t end = doc.find("%%Page:", start + 1);
        return doc.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
};

TEST_F(PageSelection, RangeOfTenPagesListsFiveAndOddPicksThree) {
    std::string doc = DscDocument("%%Pages: 10", 10);
    std::vector<std::string> labels;
    ASSERT_TRUE(BuildPageIndex(Stream(doc), 3, 7, 10, &labels));
    EXPECT_EQ((std::vector<std::string>{" 3 3", " 4 4", " 5 5", " 6 6", " 7 7"}), labels);
    EXPECT_EQ(9, PageIndex.lastIndex);
    // All selected: pages 3 to 7.
    EXPECT_EQ((std::vector<std::string>{Page(doc, 3), Page(doc, 4), Page(doc, 5), Page(doc, 6),
                                        Page(doc, 7)}),
              Walk(doc));

    StorePageSelection(3, AlternateItems(labels.size(), false));
    std::vector<std::string> odd = {Page(doc, 3), Page(doc, 5), Page(doc, 7)};
    EXPECT_EQ(odd, Walk(doc));
    EXPECT_EQ(odd, Walk(doc)); // every copy walks from the first page

    StorePageSelection(3, AlternateItems(labels.size(), true));
    EXPECT_EQ((std::vector<std::string>{Page(doc, 4), Page(doc, 6)}), Walk(doc));
}

TEST_F(PageSelection, AlternateItemsStartAtTheFirstOrSecond) {
    EXPECT_EQ((std::vector<bool>{true, false, true, false, true}), AlternateItems(5, false));
    EXPECT_EQ((std::vector<bool>{false, true, false, true, false}), AlternateItems(5, true));
    EXPECT_TRUE(AlternateItems(0, true).empty());
}

TEST_F(PageSelection, LabelsLoseTheirLineEnds) {
    std::string doc = DscDocument("%%Pages: 2", 2, "", "\r\n");
    std::vector<std::string> labels;
    ASSERT_TRUE(BuildPageIndex(Stream(doc), 1, 2, 2, &labels));
    EXPECT_EQ((std::vector<std::string>{" 1 1", " 2 2"}), labels);

    // Bare carriage returns: the line reader works in the mode of the analysis.
    std::string mac = DscDocument("%%Pages: 2", 2, "", "\r");
    labels.clear();
    ASSERT_TRUE(BuildPageIndex(Stream(mac), 2, 2, 2, &labels));
    EXPECT_EQ(std::vector<std::string>{" 2 2"}, labels);
    EXPECT_EQ(std::vector<std::string>{Page(mac, 2)}, Walk(mac));
}

TEST_F(PageSelection, LastPageCarriesTheTrailer) {
    std::string doc = DscDocument("%%Pages: 3", 3, "%%BoundingBox: 0 0 1 1\n");
    std::vector<std::string> labels;
    ASSERT_TRUE(BuildPageIndex(Stream(doc), 1, 3, 3, &labels));
    StorePageSelection(1, {false, false, true});
    std::vector<std::string> pages = Walk(doc);
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(doc.substr(doc.find("%%Page: 3 3")), pages[0]);
    EXPECT_NE(std::string::npos, pages[0].find("%%Trailer\n%%BoundingBox: 0 0 1 1\n%%EOF\n"));
}

TEST_F(PageSelection, PageLinesBeyondTheCountStayInTheLastPage) {
    std::string doc = DscDocument("%%Pages: 4", 6);
    // The header's count makes the analysis stop at 4; the index holds 4.
    std::vector<std::string> labels;
    ASSERT_TRUE(BuildPageIndex(Stream(doc), 1, 4, 4, &labels));
    EXPECT_EQ(3, PageIndex.lastIndex);
    EXPECT_EQ(4u, labels.size());
    StorePageSelection(1, {false, false, false, true});
    std::vector<std::string> pages = Walk(doc);
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(doc.substr(doc.find("%%Page: 4 4")), pages[0]);

    // A range past the pages found lists only those there are.
    std::string short_doc = DscDocument("%%Pages: 5", 2);
    labels.clear();
    ASSERT_TRUE(BuildPageIndex(Stream(short_doc), 2, 5, 5, &labels));
    EXPECT_EQ(std::vector<std::string>{" 2 2"}, labels);
    StorePageSelection(2, {true, true, true, true}); // items past the index are ignored
    EXPECT_EQ(std::vector<std::string>{Page(short_doc, 2)}, Walk(short_doc));
}

TEST_F(PageSelection, NoRoomForAnIndexIsAFailure) {
    std::vector<std::string> labels;
    EXPECT_FALSE(BuildPageIndex(Stream(DscDocument("%%Pages: 1", 1)), 1, 1, 0, &labels));
    EXPECT_TRUE(labels.empty());
}

} // namespace
