#include "http_test_client.h"

#include "access_tokens.h"

#include <Poco/Net/FilePartSource.h>
#include <Poco/Net/HTMLForm.h>
#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/StreamCopier.h>

#include <sstream>

namespace {

HttpAnswer receive(Poco::Net::HTTPClientSession& session)
{
    Poco::Net::HTTPResponse response;
    std::istream& in = session.receiveResponse(response);
    HttpAnswer answer;
    answer.status = response.getStatus();
    answer.reason = response.getReason();
    for (const auto& [name, value] : response)
        answer.headers[name] = value;
    std::ostringstream text;
    Poco::StreamCopier::copyStream(in, text);
    answer.body = text.str();
    return answer;
}

// As the user's programs do, with the token of the proxy on that port.
void authorize(Poco::Net::HTTPRequest& request, unsigned short port)
{
    const std::string token = testsupport::accessTokenOf(port);
    if (!token.empty())
        request.set("Authorization", "Bearer " + token);
}

} // namespace

HttpAnswer httpPostForm(unsigned short port, const std::string& target, const FormParts& fields, const FormParts& files)
{
    Poco::Net::HTTPClientSession session("127.0.0.1", port);
    session.setTimeout(Poco::Timespan(30, 0));
    Poco::Net::HTTPRequest request("POST", target, Poco::Net::HTTPMessage::HTTP_1_1);
    authorize(request, port);
    Poco::Net::HTMLForm form(Poco::Net::HTMLForm::ENCODING_MULTIPART);
    for (const auto& [name, text] : fields)
        form.add(name, text);
    for (const auto& [name, path] : files)
        form.addPart(name, new Poco::Net::FilePartSource(path));
    form.prepareSubmit(request);
    form.write(session.sendRequest(request));
    return receive(session);
}

HttpAnswer httpUpload(unsigned short port, const std::string& target, const std::vector<std::string>& paths)
{
    FormParts files;
    for (const std::string& path : paths)
        files.emplace_back("file", path);
    return httpPostForm(port, target, {{"comment", "not a file"}}, files);
}

HttpAnswer httpRequest(unsigned short port, const std::string& method, const std::string& target,
                       const std::string& body, const std::map<std::string, std::string>& headers)
{
    Poco::Net::HTTPClientSession session("127.0.0.1", port);
    session.setTimeout(Poco::Timespan(30, 0));
    Poco::Net::HTTPRequest request(method, target, Poco::Net::HTTPMessage::HTTP_1_1);
    authorize(request, port);
    for (const auto& [name, value] : headers)
        request.set(name, value);
    if (!body.empty() || method == "POST" || method == "PUT")
        request.setContentLength(static_cast<std::streamsize>(body.size()));
    session.sendRequest(request) << body;

    return receive(session);
}
