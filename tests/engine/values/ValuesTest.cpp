// Engine values: the JSON writer's exact output, containers handing out live children
// and storing copies, and process messages copied deeply.
#include <gtest/gtest.h>

#include "include/cef_parser.h"
#include "include/cef_process_message.h"
#include "include/cef_values.h"

namespace {

CefRefPtr<CefDictionaryValue> Line(const char* name, const char* url, bool check) {
    CefRefPtr<CefDictionaryValue> d = CefDictionaryValue::Create();
    d->SetString("name", CefString(std::string(name)));
    d->SetString("url", url);
    d->SetBool("check", check);
    return d;
}

std::string Json(CefRefPtr<CefValue> value, cef_json_writer_options_t options = JSON_WRITER_DEFAULT) {
    return CefWriteJSON(value, options).ToString();
}

TEST(JsonWriter, AListOfDictionariesIsWrittenByteForByte) {
    CefRefPtr<CefListValue> lines = CefListValue::Create();
    lines->SetDictionary(0, Line(u8"总店", "http://a/\"q\"", true));
    lines->SetDictionary(1, Line(u8"分店 <1>", "x\\y\ttab\x01", false));
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetList(lines);
    EXPECT_EQ(std::string(u8"[{\"check\":true,\"name\":\"总店\",\"url\":\"http://a/\\\"q\\\"\"},"
                          u8"{\"check\":false,\"name\":\"分店 \\u003C1>\",\"url\":\"x\\\\y\\ttab\\u0001\"}]"),
              Json(value));
}

TEST(JsonWriter, NumbersNullsAndNesting) {
    CefRefPtr<CefDictionaryValue> d = CefDictionaryValue::Create();
    d->SetInt("int", -7);
    d->SetDouble("whole", 3.0);
    d->SetDouble("half", -0.25);
    d->SetNull("none");
    d->SetList("empty", CefListValue::Create());
    d->SetDictionary("z", CefDictionaryValue::Create());
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetDictionary(d);
    EXPECT_EQ("{\"empty\":[],\"half\":-0.25,\"int\":-7,\"none\":null,\"whole\":3.0,\"z\":{}}", Json(value));
    EXPECT_EQ("{\"empty\":[],\"half\":-0.25,\"int\":-7,\"none\":null,\"whole\":3,\"z\":{}}",
              Json(value, JSON_WRITER_OMIT_DOUBLE_TYPE_PRESERVATION));
}

TEST(JsonWriter, PrettyPrintIndentsThreeSpacesWithWindowsLineEnds) {
    CefRefPtr<CefDictionaryValue> d = CefDictionaryValue::Create();
    d->SetInt("a", 1);
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetBool(0, true);
    list->SetNull(1);
    d->SetList("b", list);
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetDictionary(d);
    EXPECT_EQ("{\r\n   \"a\": 1,\r\n   \"b\": [ true, null ]\r\n}\r\n", Json(value, JSON_WRITER_PRETTY_PRINT));
}

TEST(JsonWriter, BinaryValuesFailUnlessOmitted) {
    CefRefPtr<CefListValue> list = CefListValue::Create();
    list->SetInt(0, 1);
    list->SetBinary(1, CefBinaryValue::Create("ab", 2));
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetList(list);
    EXPECT_EQ("", Json(value));
    EXPECT_EQ("[1]", Json(value, JSON_WRITER_OMIT_BINARY_VALUES));
}

TEST(Values, ChildrenAreLiveAndSetContainersAreCopies) {
    CefRefPtr<CefListValue> outer = CefListValue::Create();
    CefRefPtr<CefDictionaryValue> inner = CefDictionaryValue::Create();
    inner->SetString("k", "before");
    outer->SetDictionary(2, inner);
    inner->SetString("k", "after");  // the list holds its own copy
    EXPECT_EQ(3u, outer->GetSize());
    EXPECT_EQ(VTYPE_NULL, outer->GetType(0));
    EXPECT_EQ(VTYPE_INVALID, outer->GetType(3));
    EXPECT_EQ("before", outer->GetDictionary(2)->GetString("k").ToString());
    outer->GetDictionary(2)->SetInt("n", 5);  // a child taken out edits the list
    EXPECT_EQ(5, outer->GetDictionary(2)->GetInt("n"));
    EXPECT_TRUE(outer->GetDictionary(2)->IsSame(outer->GetDictionary(2)));
    // Reading another type gives that type's empty value.
    EXPECT_EQ(0, outer->GetDictionary(2)->GetInt("k"));
    EXPECT_EQ("", outer->GetDictionary(2)->GetString("n").ToString());
    CefRefPtr<CefListValue> copy = outer->Copy();
    EXPECT_TRUE(copy->IsEqual(outer));
    copy->GetDictionary(2)->SetInt("n", 6);
    EXPECT_FALSE(copy->IsEqual(outer));
    EXPECT_FALSE(outer->SetList(0, outer));
}

TEST(Values, AProcessMessageCopyIsDeep) {
    CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create("SetWinTitle");
    message->GetArgumentList()->SetString(0, u8"标题");
    CefRefPtr<CefProcessMessage> copy = message->Copy();
    message->GetArgumentList()->SetString(0, "changed");
    EXPECT_EQ("SetWinTitle", copy->GetName().ToString());
    EXPECT_EQ(std::string(u8"标题"), copy->GetArgumentList()->GetString(0).ToString());
    EXPECT_FALSE(copy->GetArgumentList()->IsSame(message->GetArgumentList()));
}

}  // namespace
