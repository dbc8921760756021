#include "common/XmlFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "platform/FileSystem.h"
#include "tests/support/TestSupport.h"

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;
using testsupport::ReadAll;
using testsupport::WriteAll;

class XmlFileTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetWriteFaultHook(nullptr); }
    testsupport::TempDir dir;
};

TEST_F(XmlFileTest, OpenCreatesMissingFoldersAndAddsDeclarationWhenAsked) {
    XMLDocument doc;
    const std::string path = dir / "a/b/c.xml";
    ASSERT_TRUE(XmlOpenDocument(&doc, true, path));
    EXPECT_TRUE(platform::IsDirectory(dir / "a/b"));
    ASSERT_NE(doc.FirstChild(), nullptr);
    EXPECT_NE(doc.FirstChild()->ToDeclaration(), nullptr);
    EXPECT_EQ(doc.FirstChild()->NextSibling(), nullptr);
    EXPECT_FALSE(XmlOpenDocument(&doc, false, "relative-without-folder.xml"));
    EXPECT_FALSE(XmlOpenDocument(nullptr, false, path));
}

TEST_F(XmlFileTest, EmptyAndMalformedFilesOpenAsEmptyButOnlyMalformedIsDamaged) {
    WriteAll(dir / "empty.xml", "");
    XMLDocument doc;
    ASSERT_TRUE(XmlOpenDocument(&doc, true, dir / "empty.xml"));
    EXPECT_NE(doc.FirstChild()->ToDeclaration(), nullptr);
    EXPECT_FALSE(XmlDocumentDamaged(&doc));

    WriteAll(dir / "bad.xml", "<quarnet><user syntax=\"2\">");
    XMLDocument bad;
    ASSERT_TRUE(XmlOpenDocument(&bad, false, dir / "bad.xml"));
    EXPECT_EQ(XmlFindRoot(&bad), nullptr);
    EXPECT_TRUE(XmlDocumentDamaged(&bad));
}

TEST_F(XmlFileTest, RecordWriterRoundTripWithExactBytes) {
    const std::string path = dir / "1/1.xml";
    XMLDocument doc;
    ASSERT_TRUE(XmlOpenDocument(&doc, false, path));
    doc.Clear();
    XmlAddDeclaration(&doc);
    XMLElement* root = doc.NewElement(kXmlRootName);
    doc.InsertEndChild(root);
    XMLElement* user = doc.NewElement("user");
    root->InsertEndChild(user);
    XmlSetId(user, "1");
    XmlSetSyntax(user, 2);
    XMLElement* name = doc.NewElement("name");
    user->InsertEndChild(name);
    XmlSetText(name, "M\xC3\xBCller & <Sons>");
    user->InsertEndChild(doc.NewElement("comment"));
    ASSERT_TRUE(XmlSaveDocument(&doc, path));
    EXPECT_EQ(ReadAll(path),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<quarnet>\r\n"
              "    <user id=\"1\" syntax=\"2\">\r\n"
              "        <name>M\xC3\xBCller &amp; &lt;Sons&gt;</name>\r\n"
              "        <comment/>\r\n"
              "    </user>\r\n"
              "</quarnet>\r\n");

    XMLDocument back;
    ASSERT_TRUE(XmlOpenDocument(&back, false, path));
    const XMLElement* u = XmlFindRoot(&back)->FirstChildElement("user");
    EXPECT_EQ(XmlGetSyntax(u), 2);
    EXPECT_EQ(XmlGetAttributeText(u, "id", "?"), "1");
    EXPECT_EQ(XmlGetChildText(u, "name", "-"), "M\xC3\xBCller & <Sons>");
    EXPECT_EQ(XmlGetChildText(u, "comment", "-"), "-");
    EXPECT_EQ(XmlGetChildText(u, "missing", "-"), "-");
    EXPECT_EQ(XmlGetChildText(nullptr, "name", "-"), "-");
}

TEST_F(XmlFileTest, SyntaxAndElementTextEdgeCases) {
    XMLDocument doc;
    doc.Parse(
        "<quarnet>"
        "<a syntax=\"2x\"/><b syntax=\"x2\"/><c/>"
        "<d>0</d><e><inner/>text</e><f><!--c--></f>"
        "</quarnet>");
    const XMLElement* r = XmlFindRoot(&doc);
    EXPECT_EQ(XmlGetSyntax(r->FirstChildElement("a")), 2);
    EXPECT_EQ(XmlGetSyntax(r->FirstChildElement("b")), 0);
    EXPECT_EQ(XmlGetSyntax(r->FirstChildElement("c")), 0);
    EXPECT_EQ(XmlGetChildText(r, "d", "def"), "0");
    EXPECT_EQ(XmlGetChildText(r, "e", "def"), "def");  // first child is an element
    EXPECT_EQ(XmlGetChildText(r, "f", "def"), "def");  // first child is a comment
}

TEST_F(XmlFileTest, FailedSaveKeepsOldFileByteForByte) {
    const std::string path = dir / "u/7.xml";
    XMLDocument doc;
    ASSERT_TRUE(XmlOpenDocument(&doc, true, path));
    doc.InsertEndChild(doc.NewElement(kXmlRootName));
    ASSERT_TRUE(XmlSaveDocument(&doc, path));
    const std::string before = ReadAll(path);

    XmlFindRoot(&doc)->InsertEndChild(doc.NewElement("user"));
    platform::SetWriteFaultHook([](const std::string&) { return true; });
    EXPECT_FALSE(XmlSaveDocument(&doc, path));
    platform::SetWriteFaultHook(nullptr);
    EXPECT_EQ(ReadAll(path), before);

    EXPECT_FALSE(XmlSaveDocument(&doc, dir / "missing/x.xml"));
    EXPECT_FALSE(XmlSaveDocument(&doc, dir / "u"));  // a folder
}

TEST_F(XmlFileTest, ContentAfterTheRootIsDamageAndIsNeverSaved) {
    const std::string path = dir / "s.xml";
    WriteAll(path, "<?xml version=\"1.0\"?><quarnet><app syntax=\"1\"><a>1</a></app></quarnet>e</t>");
    XMLDocument doc;
    ASSERT_TRUE(XmlOpenDocument(&doc, false, path));
    EXPECT_TRUE(XmlDocumentDamaged(&doc));
    EXPECT_FALSE(XmlDocumentUnreadable(&doc));
    EXPECT_EQ(XmlGetChildText(XmlFindRoot(&doc)->FirstChildElement("app"), "a", "-"), "1");

    // Saved as it stands it would not load again: refused, the file stays as it was.
    const std::string before = ReadAll(path);
    EXPECT_FALSE(XmlSaveDocument(&doc, path));
    EXPECT_EQ(XmlCreateDocument(&doc, dir / "r.xml"), platform::WriteResult::Failed);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_FALSE(platform::PathExists(dir / "r.xml"));

    XmlRemoveContentAfterRoot(&doc);
    EXPECT_FALSE(XmlHasContentAfterRoot(&doc));
    ASSERT_TRUE(XmlSaveDocument(&doc, path));
    XMLDocument back;
    ASSERT_TRUE(XmlOpenDocument(&back, false, path));
    EXPECT_FALSE(XmlDocumentDamaged(&back));

    // Comments may follow the root; elements and text may not.
    struct Case {
        const char* xml;
        bool damaged;
    };
    for (const Case& c : {Case{"<quarnet/><!--note-->", false}, Case{"<other/><quarnet/>", false},
                          Case{"<quarnet/><quarnet/>", true}, Case{"<quarnet/><x/>", true}}) {
        XMLDocument d;
        ASSERT_EQ(d.Parse(c.xml), tinyxml2::XML_SUCCESS) << c.xml;
        EXPECT_EQ(XmlHasContentAfterRoot(&d), c.damaged) << c.xml;
    }
}

TEST_F(XmlFileTest, ExclusiveCreateRefusesAnExistingRecord) {
    XMLDocument doc;
    XmlAddDeclaration(&doc);
    doc.InsertEndChild(doc.NewElement(kXmlRootName));
    EXPECT_EQ(XmlCreateDocument(&doc, dir / "r.xml"), platform::WriteResult::Ok);
    EXPECT_EQ(XmlCreateDocument(&doc, dir / "r.xml"), platform::WriteResult::Exists);
}

TEST_F(XmlFileTest, NonAsciiFolderNamesLoadAndSaveTheSameFile) {
    const std::string path = dir / "\xE5\xB1\xB1\xE7\x94\xB0/p.xml";
    XMLDocument doc;
    ASSERT_TRUE(XmlOpenDocument(&doc, true, path));
    doc.InsertEndChild(doc.NewElement(kXmlRootName));
    ASSERT_TRUE(XmlSaveDocument(&doc, path));
    XMLDocument back;
    ASSERT_TRUE(XmlOpenDocument(&back, false, path));
    EXPECT_NE(XmlFindRoot(&back), nullptr);
}

// A FIFO or a huge file under an XML file's name (settings, patient file, record, sidecar)
// opens as a file that could not be read, at once: nothing waits for a writer, nothing reads
// a gigabyte.
TEST_F(XmlFileTest, AFifoOrAHugeFileIsNotRead) {
    const std::string fifo = dir / "fifo.xml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = dir / "huge.xml";
    WriteAll(huge, "<?xml version=\"1.0\"?><quarnet>");
    ASSERT_EQ(::truncate(huge.c_str(), 1LL << 30), 0);  // sparse
    for (const std::string& path : {fifo, huge}) {
        auto open = std::async(std::launch::async, [&] {
            XMLDocument doc;
            EXPECT_TRUE(XmlOpenDocument(&doc, false, path));
            EXPECT_TRUE(XmlDocumentUnreadable(&doc)) << path;
            EXPECT_EQ(doc.FirstChild(), nullptr) << path;
        });
        if (open.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            // Let a reader blocked on the FIFO go, so that the test can end.
            while (open.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
                const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
            ADD_FAILURE() << path << " was still being opened after a minute";
        }
    }
}
