#include "docs/reports/verification_report.h"

#include "docs/reports/report_fill.h"
#include "docs/reports/report_templates.h"
#include "docs/reports/sign_confirmation.h"

#include "template/loader_memory.h"
#include "template/template.h"

#include <QCoreApplication>

namespace tessel::docs {
namespace {

using NL::Template::Block;
using NL::Template::Node;

void fillCertificateBlock(Block& block, const nxcrypto::CertificateDescriptionPtr& certificate)
{
    if (certificate)
        fillCertificatePanel(block, *certificate);
    else
        block.disable();
}

// Block 0 is the envelope, block i attachment i.
QString blockName(int i)
{
    return i == 0 ? QCoreApplication::translate("Reports", "сообщения")
                  : QCoreApplication::translate("Reports", "вложения № %1").arg(i);
}

// A sign keeps the error that ended its check; rethrowing it is the way to its message.
void fillException(Block& block, const std::exception_ptr& exception)
{
    if (!exception) {
        block.disable();
        return;
    }
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& e) {
        block.set("exception", reportText(QString::fromUtf8(e.what())));
    }
}

void fillSign(Node& copy, int i, const nxcrypto::DataSignInfo& sign)
{
    copy.set("what", reportText(blockName(i)));
    copy.set("signState", reportText(nxcrypto::signStateText(sign.signState())));
    fillCertificateBlock(copy.block("cert"), sign.certificate());
    copy.set("signTime", reportDateTime(sign.signingTime()));
    copy.set("hash", sign.messageDigest().toHex().toUpper().toStdString());
    fillException(copy.block("exception"), sign.exception());
}

} // namespace

QString verificationReport(const nxcrypto::SignInfoPtr& info)
{
    NL::Template::LoaderMemory loader;
    loader.add("index.html", verificationPageTemplate());
    loader.add("cert.html", certificatePanelTemplate());
    loader.add("page_head.html", pageHeadTemplate());
    NL::Template::Template page(loader);
    page.load("index.html");

    page.set("stateColor", isConfirmed(*info) ? "green" : "red");
    page.set("globalValidity", validityText(*info));
    page.set("globalSignState", reportText(nxcrypto::signStateText(info->globalSignState())));
    page.set("certificateState", reportText(nxcrypto::certificateStateText(info->certificateState())));
    page.set("checkTime", reportDateTime(info->checkTime()));
    fillCertificateBlock(page.block("cert"), info->certificate());

    const nxcrypto::DataSignInfoList signs = info->signs();
    Block& signList = page.block("signs");
    if (signs.isEmpty())
        signList.disable();
    else
        page.block("emptySigns").disable();
    Block& signBlocks = signList.block("signInfo");
    signBlocks.repeat(static_cast<std::size_t>(signs.size()));
    for (int i = 0; i < signs.size(); ++i)
        fillSign(signBlocks[static_cast<std::size_t>(i)], i, *signs.at(i));
    return renderedReport(page);
}

} // namespace tessel::docs
