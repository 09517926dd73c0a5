#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml.h"

using namespace notescore;

namespace {

// A compact trace of the events: "<a x=1>", "'text'", "</a>".
std::string Trace(const std::string& doc, std::string* error = nullptr) {
  XmlReader xml(doc.data(), doc.data() + doc.size());
  std::string out;
  for (;;) {
    XmlReader::Event ev = xml.Next();
    if (ev == XmlReader::kEof) break;
    if (ev == XmlReader::kError) {
      if (error) *error = xml.Error();
      return out + "!";
    }
    if (ev == XmlReader::kStart) {
      out += "<" + std::string(xml.Name());
      for (const XmlAttribute& a : xml.Attributes()) {
        std::string v;
        xml.Attribute(a.name, &v);
        out += " " + std::string(a.name) + "=" + v;
      }
      out += ">";
    } else if (ev == XmlReader::kEnd) {
      out += "</" + std::string(xml.Name()) + ">";
    } else {
      std::string t;
      xml.AppendText(&t);
      out += "'" + t + "'";
    }
  }
  return out;
}

TEST(XmlReader, ReadsTheMarkupOfDatabaseFiles) {
  struct { const char* doc; const char* trace; } cases[] = {
      {"<a/>", "<a></a>"},
      {"<a x='1' y=\"2\"></a>", "<a x=1 y=2></a>"},
      {"<a x='&lt;&amp;&quot;&apos;&gt;'/>", "<a x=<&\"'>></a>"},
      {"<a>x &#65;&#x42; &#x1F600;</a>", "<a>'x AB \xF0\x9F\x98\x80'</a>"},
      {"<a><![CDATA[<b> & ]]></a>", "<a>'<b> & '</a>"},
      {"<?xml version='1.0' encoding='UTF-8'?><!-- c --><!DOCTYPE database SYSTEM 'x.dtd'><a/>", "<a></a>"},
      {"<!DOCTYPE a [ <!ENTITY e 'v'> <!-- ] > --> ]><a/>", "<a></a>"},
      {"\xEF\xBB\xBF<a/>", "<a></a>"},
      {"<a>1\r\n2\r3</a>", "<a>'1\n2\n3'</a>"},
      {"<a x='1\t2\n3'/>", "<a x=1 2 3></a>"},
      {"<d:a xmlns:d='u'><d:b/></d:a>", "<d:a xmlns:d=u><d:b></d:b></d:a>"},
      {"<a>\xC3\xA9</a>", "<a>'\xC3\xA9'</a>"},
  };
  for (const auto& c : cases) EXPECT_EQ(Trace(c.doc), c.trace) << c.doc;
}

TEST(XmlReader, RejectsMalformedInputWithAReason) {
  const char* bad[] = {
      "",                        // no root
      "<a>",                     // unterminated
      "<a></b>",                 // mismatch
      "<a x=1/>",                // unquoted
      "<a x='1' x='2'/>",        // duplicate attribute
      "<a x='<'/>",              // '<' in a value
      "<a><!-- never closed</a>",
      "<a><![CDATA[ open</a>",
      "<a/><b/>",                // two roots
      "text<a/>",                // text before the root
      "<?xml version='1.0' encoding='ISO-8859-1'?><a/>",
      "<a",                      // cut inside a tag
      "<a x='1'y='2'/>",         // missing white space
  };
  for (const char* doc : bad) {
    std::string error;
    EXPECT_EQ(Trace(doc, &error).back(), '!') << doc;
    EXPECT_FALSE(error.empty()) << doc;
  }
}

TEST(XmlReader, ReportsBadEntityReferencesInText) {
  std::string doc = "<a>x &bogus; y</a>";
  XmlReader xml(doc.data(), doc.data() + doc.size());
  ASSERT_EQ(xml.Next(), XmlReader::kStart);
  ASSERT_EQ(xml.Next(), XmlReader::kText);
  std::string t;
  EXPECT_FALSE(xml.AppendText(&t));
  for (const char* ref : {"&#0;", "&#xD800;", "&#x110000;", "&#;", "&#xZZ;", "&amp"}) {
    std::string out;
    EXPECT_FALSE(XmlReader::Decode(ref, &out, false)) << ref;
  }
}

TEST(XmlReader, SkipRestBalancesTagsAndIgnoresMarkupInsideQuotesAndSections) {
  std::string doc =
      "<db><doc x='a>b' y=\"/>\"><i><![CDATA[</doc>]]><!-- </doc> --><?pi </doc>?><e/></i></doc><next/></db>";
  XmlReader xml(doc.data(), doc.data() + doc.size());
  ASSERT_EQ(xml.Next(), XmlReader::kStart);  // db
  ASSERT_EQ(xml.Next(), XmlReader::kStart);  // doc
  EXPECT_EQ(xml.TagStart(), 4u);
  ASSERT_TRUE(xml.SkipRest());
  ASSERT_EQ(xml.Next(), XmlReader::kStart);
  EXPECT_EQ(xml.Name(), "next");

  std::string cut = "<db><doc><i></i>";
  XmlReader truncated(cut.data(), cut.data() + cut.size());
  truncated.Next();
  truncated.Next();
  EXPECT_FALSE(truncated.SkipRest());
  EXPECT_EQ(truncated.Next(), XmlReader::kError);
}

TEST(XmlReader, LimitsNestingDepth) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  std::string error;
  EXPECT_EQ(Trace(deep, &error).back(), '!');
  EXPECT_NE(error.find("deep"), std::string::npos);

  // The fast skip has the same limit.
  std::string wrapped = "<r><x>" + deep;
  XmlReader xml(wrapped.data(), wrapped.data() + wrapped.size());
  xml.Next();
  xml.Next();
  EXPECT_FALSE(xml.SkipRest());
}

}  // namespace
