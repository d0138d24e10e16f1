#include "docs/reports/document_copy_report.h"

#include "docs/reports/report_fill.h"
#include "docs/reports/report_templates.h"

#include "template/loader_memory.h"
#include "template/template.h"

namespace tessel::docs {
namespace {

using NL::Template::Block;

void fillRequest(Block& block, const DocumentCopyData& data)
{
    if (!data.reqDocDate.isValid()) {
        block.disable();
        return;
    }
    block.set("reqDocNum", reportText(data.reqDocNum));
    block.set("reqDocDate", reportDate(data.reqDocDate));
}

void fillSignature(Block& block, const nxcrypto::SignInfoPtr& info)
{
    if (!info) {
        block.disable();
        return;
    }
    block.set("docState", validityText(*info));
    block.set("globalSignState", reportText(nxcrypto::signStateText(info->globalSignState())));
    block.set("certState", reportText(nxcrypto::certificateStateText(info->certificateState())));
    block.set("signCheckTime", reportDateTime(info->checkTime()));
    // A check in which no signature carried a certificate leaves the certificate rows empty.
    if (const nxcrypto::CertificateDescriptionPtr certificate = info->certificate()) {
        block.set("subjectName", reportText(certificate->subjectName()));
        block.set("serialNumber", reportText(certificate->serialNumber()));
        block.set("issuerName", reportText(certificate->issuerName()));
        block.set("certValidFrom", reportDateTime(certificate->validFrom()));
        block.set("certValidTo", reportDateTime(certificate->validTo()));
    }
}

void fillTransferAgent(Block& block, const QString& taName)
{
    if (taName.isEmpty())
        block.disable();
    else
        block.set("taName", reportText(taName));
}

} // namespace

QString documentCopyReport(const DocumentCopyData& data)
{
    NL::Template::LoaderMemory loader;
    loader.add("index.html", documentCopyPageTemplate());
    loader.add("page_head.html", pageHeadTemplate());
    NL::Template::Template page(loader);
    page.load("index.html");

    page.set("msgType", reportText(data.msgType));
    page.set("sender", reportText(data.sender));
    page.set("recipient", reportText(data.recipient));
    page.set("outDocNum", reportText(data.outDocNum));
    page.set("outDocDate", reportDate(data.outDocDate));
    fillRequest(page.block("req"), data);
    fillSignature(page.block("sign"), data.signInfo);
    fillTransferAgent(page.block("ta"), data.taName);
    return renderedReport(page);
}

} // namespace tessel::docs
