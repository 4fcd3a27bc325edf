#include "s100/wire/answer_parts.h"

#include "s100/wire/answer_stream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "s100/errors.h"
#include "s100/proto/packed_strings.h"
#include "s100/symbols.h"

namespace tlv::wire {
namespace {

// A list answer of count rows as tlvsd sends one: names of about 100 bytes, packed, and a symbol
// each, element by element.
Response listAnswer(int count, std::uint64_t id = 7) {
    Response response;
    response.set_id(id);
    response.set_error(CTerr_NoError);
    response.set_generation(3);
    Pair* names = response.mutable_result()->add_pairs();
    names->set_key(KEY_ProfileNames);
    names->mutable_value()->mutable_array_value()->set_element_type(VALUE_TYPE_STRING);
    Pair* states = response.mutable_result()->add_pairs();
    states->set_key(KEY_ServiceStates);
    states->mutable_value()->mutable_array_value()->set_element_type(VALUE_TYPE_SYMBOL);
    for (int i = 0; i < count; ++i) {
        appendPacked(*names->mutable_value()->mutable_array_value(),
                     "Profile" + std::to_string(i) + std::string(100, 'x'));
        states->mutable_value()->mutable_array_value()->add_elements()->set_symbol_value(
            static_cast<std::uint32_t>(i));
    }
    return response;
}

std::vector<Response> split(const Response& whole, std::size_t partBytes) {
    AnswerSplitter splitter(std::make_shared<const Response>(whole), partBytes);
    std::vector<Response> parts;
    Response part;
    while (splitter.next(part)) {
        parts.push_back(part);
    }
    return parts;
}

int rows(const Response& part) {
    return static_cast<int>(arrayLength(part.result().pairs(0).value().array_value()));
}

TEST(AnswerParts, LargeListTravelsInOrderedPartsThatAssembleToTheWhole) {
    const Response whole = listAnswer(1000);
    const std::vector<Response> parts = split(whole, 10 * 1024);
    ASSERT_GT(parts.size(), 5u);
    int total = 0;
    AnswerAssembler assembler;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].id(), 7u);
        EXPECT_EQ(parts[i].more(), i + 1 < parts.size()) << i;
        EXPECT_LE(parts[i].ByteSizeLong(), 10u * 1024u + 512u) << i;
        EXPECT_EQ(rows(parts[i]), parts[i].result().pairs(1).value().array_value().elements_size());
        // Every part holds whole names: its packed bytes end with a name's NUL.
        EXPECT_EQ(parts[i].result().pairs(0).value().array_value().packed_strings().back(), '\0');
        total += rows(parts[i]);
        const PartStatus status = assembler.add(parts[i], parts[i].ByteSizeLong());
        EXPECT_EQ(status, i + 1 < parts.size() ? PartStatus::NeedMore : PartStatus::Complete);
    }
    EXPECT_EQ(total, 1000);
    EXPECT_EQ(assembler.answer().SerializeAsString(), whole.SerializeAsString());
}

TEST(AnswerParts, SmallAnswersFailuresAndOneHugeElementTravelWhole) {
    const Response small = listAnswer(3);
    ASSERT_EQ(split(small, 64 * 1024).size(), 1u);
    EXPECT_EQ(split(small, 64 * 1024)[0].SerializeAsString(), small.SerializeAsString());

    Response failed;
    failed.set_id(2);
    failed.set_error(CTerr_NotFound);
    ASSERT_EQ(split(failed, 1).size(), 1u);
    EXPECT_FALSE(split(failed, 1)[0].more());

    // Each element beyond the part size goes alone rather than being lost or cut.
    const std::vector<Response> single = split(listAnswer(4), 16);
    ASSERT_EQ(single.size(), 4u);
    for (const Response& part : single)
        EXPECT_EQ(rows(part), 1);
}

TEST(AnswerParts, PartsThatDoNotContinueTheAnswerAreRefused) {
    const std::vector<Response> parts = split(listAnswer(200), 4096);
    ASSERT_GE(parts.size(), 3u);
    // The stream that checks parts without gathering them refuses exactly what the assembler
    // refuses.
    const auto secondRefused = [&](const std::function<void(Response&)>& spoil) {
        AnswerAssembler assembler;
        AnswerStream stream;
        EXPECT_EQ(assembler.add(parts[0], 4096), PartStatus::NeedMore);
        EXPECT_EQ(stream.check(parts[0], 4096), PartStatus::NeedMore);
        Response second = parts[1];
        spoil(second);
        const PartStatus checked = stream.check(second, 4096);
        EXPECT_EQ(assembler.add(second, 4096), checked);
        return checked == PartStatus::Invalid;
    };
    EXPECT_FALSE(secondRefused([](Response&) {}));
    EXPECT_TRUE(secondRefused([](Response& r) { r.set_id(8); }));
    EXPECT_TRUE(secondRefused([](Response& r) { r.set_error(CTerr_NotFound); }));
    EXPECT_TRUE(secondRefused([](Response& r) { r.set_generation(4); }));
    EXPECT_TRUE(secondRefused([](Response& r) { r.mutable_result()->mutable_pairs(0)->set_key(1); }));
    EXPECT_TRUE(secondRefused([](Response& r) {
        r.mutable_result()->mutable_pairs(1)->mutable_value()->mutable_array_value()->add_elements()
            ->set_symbol_value(1);
    }));
    EXPECT_TRUE(secondRefused([](Response& r) {
        r.mutable_result()->mutable_pairs(1)->mutable_value()->mutable_array_value()
            ->set_element_type(VALUE_TYPE_UINT);
    }));
    EXPECT_TRUE(secondRefused([](Response& r) { r.mutable_result()->clear_pairs(); }));
    // Names that change form half-way, or an array in both forms, cannot be appended soundly.
    EXPECT_TRUE(secondRefused([](Response& r) {
        Array& names = *r.mutable_result()->mutable_pairs(0)->mutable_value()->mutable_array_value();
        const std::size_t count = arrayLength(names);
        names.clear_packed_strings();
        for (std::size_t i = 0; i < count; ++i)
            names.add_elements()->set_string_value("n");
    }));
    EXPECT_TRUE(secondRefused([](Response& r) {
        r.mutable_result()->mutable_pairs(0)->mutable_value()->mutable_array_value()
            ->add_elements()->set_string_value("n");
        r.mutable_result()->mutable_pairs(1)->mutable_value()->mutable_array_value()
            ->add_elements()->set_symbol_value(1);
    }));

    // A first part that says more but is no list answer, and parts beyond the byte bound.
    Response level;
    level.set_id(1);
    level.set_error(CTerr_NoError);
    level.set_more(true);
    EXPECT_EQ(AnswerAssembler().add(level, 10), PartStatus::Invalid);
    EXPECT_EQ(AnswerStream().check(level, 10), PartStatus::Invalid);
    AnswerAssembler bounded(10000);
    EXPECT_EQ(bounded.add(parts[0], 6000), PartStatus::NeedMore);
    EXPECT_EQ(bounded.add(parts[1], 6000), PartStatus::Invalid);
    AnswerStream boundedStream(10000);
    EXPECT_EQ(boundedStream.check(parts[0], 6000), PartStatus::NeedMore);
    EXPECT_EQ(boundedStream.check(parts[1], 6000), PartStatus::Invalid);

    // Every part of a good answer passes, the last one completing it.
    AnswerStream whole;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(whole.check(parts[i], 4096),
                  i + 1 < parts.size() ? PartStatus::NeedMore : PartStatus::Complete);
    }
}

}  // namespace
}  // namespace tlv::wire
