#pragma once

#include "exchange.h"

namespace standin {

// GET /webclient/: the portal's document page for the user of the client certificate.
void serveWebclientPage(Exchange& exchange);

// /test/echo: the request as JSON, with the length and SHA-256 of its body.
void serveEcho(Exchange& exchange);
// POST /test/upload: length and SHA-256 of the body.
void serveUpload(Exchange& exchange);
// GET /test/download?size=N[&chunked=1]: N test bytes.
void serveDownload(Exchange& exchange);
// GET /test/chunks?sizes=A,B,...[&split=1]: test bytes in chunks of those sizes.
void serveChunks(Exchange& exchange);
// GET /test/redirect?to=self|elsewhere: 302 to this portal's page or to another host.
void serveRedirect(Exchange& exchange);

// GET /storage/<kind>/<id>?envelope=&signs=[&allAttachments=true|&attachmentsIndices=1,3]: a ZIP of
// the chosen parts named "0", "n" and "n.sign".
void serveStorageDownload(Exchange& exchange);
// POST .../documents/drafts/<id>/sign: the envelope and signatures of a draft, as a form.
void serveDraftSigns(Exchange& exchange);
// PUT .../documents/drafts/<id>: a form of the field "document" (JSON) and the files "att2.data",
// "att3.data", ... that replace the draft's attachments; answers the draft as stored.
void serveDraftPut(Exchange& exchange);
// POST .../documents/drafts/<id>/send: a signed draft moves to the outbox.
void serveDraftSend(Exchange& exchange);
// DELETE .../documents/drafts/<id>.
void serveDraftDelete(Exchange& exchange);
// PUT .../documents/incoming/<id>/signState: {"changeTime", "newStateId"} is recorded.
void serveSignState(Exchange& exchange);
// GET .../documents/incoming/<id>/signVerificationData.
void serveSignVerificationData(Exchange& exchange);

} // namespace standin
