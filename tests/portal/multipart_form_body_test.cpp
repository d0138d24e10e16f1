#include "portal/multipart_form_body.h"

#include "support/test_pki.h"

#include "tessel/exception.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

class MultipartFormBodyTest : public testing::Test
{
protected:
    std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("multipart");

    QFileInfo file(const std::string& name, const std::string& content) const
    {
        const std::filesystem::path path = directory / name;
        std::ofstream(path, std::ios::binary) << content;
        return QFileInfo(QString::fromStdString(path.string()));
    }
};

TEST_F(MultipartFormBodyTest, AnnouncedLengthIsTheLengthWritten)
{
    tessel::MultipartFormBody form;
    form.addFile("a.0", file("a.0", "<x/>"), "application/xml");
    form.addFile("a.0.sign", file("a.0.sign", ""), "application/octet-stream");
    form.addFile("a.1.sign", file("a.1.sign", std::string(100000, '\r')), "application/octet-stream");
    std::ostringstream out;
    form.write(out);
    const std::string body = out.str();
    EXPECT_EQ(static_cast<std::streamsize>(body.size()), form.contentLength());
    const std::string boundary = form.contentType().substr(form.contentType().find("boundary=") + 9);
    EXPECT_EQ(body.rfind("\r\n--" + boundary + "--\r\n"), body.size() - boundary.size() - 8);
    EXPECT_NE(body.find("Content-Disposition: form-data; name=\"a.0.sign\"; filename=\"a.0.sign\"\r\n"
                        "Content-Type: application/octet-stream\r\n\r\n\r\n--"
                        + boundary),
              std::string::npos);
}

TEST_F(MultipartFormBodyTest, AFileThatChangesOrGoesFailsInsteadOfSendingAWrongLength)
{
    const struct
    {
        const char* label;
        std::string later; // content when the form is written; empty: the file is gone
        bool removed;
    } cases[] = {
        {"grown", "0123456789+", false},
        {"shrunk", "01234", false},
        {"removed", "", true},
    };
    for (const auto& c : cases) {
        const QFileInfo sign = file("changing.sign", "0123456789");
        tessel::MultipartFormBody form;
        form.addFile("changing.sign", sign, "application/octet-stream");
        if (c.removed)
            std::filesystem::remove(sign.filePath().toStdString());
        else
            file("changing.sign", c.later);
        std::ostringstream out;
        EXPECT_THROW(form.write(out), tessel::utils::exception) << c.label;
    }
    tessel::MultipartFormBody form;
    EXPECT_THROW(form.addFile("missing", QFileInfo(QString::fromStdString((directory / "missing").string())),
                              "application/xml"),
                 tessel::utils::exception);
}

} // namespace
