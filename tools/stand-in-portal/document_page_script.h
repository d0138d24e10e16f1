#pragma once

namespace standin {

// The document page's inline script: the actions on documents through the proxy's REST API
// and the list of the proxy's background processes.
const char* documentPageScript();

} // namespace standin
