// The framework reaches for Node's crypto module only when it runs under Node; in the browser
// it uses window.crypto. This stands in for it so that no crypto polyfill lands in the bundle.
module.exports = {};
