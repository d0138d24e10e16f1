#pragma once

namespace tessel::docs {

// The built-in templates of the reports (UTF-8 HTML).
// The start of every report page up to its title ("page_head.html"): HTML 4.0 Transitional, Russian, UTF-8.
const char* pageHeadTemplate();
// The verification report: the page ("index.html") and the certificate panel it includes ("cert.html").
const char* verificationPageTemplate();
const char* certificatePanelTemplate();
// The copy of an electronic document ("index.html" of its own loader).
const char* documentCopyPageTemplate();

} // namespace tessel::docs
