// Paths of the programs the browser tests drive; CMake passes them in the environment.
"use strict";

function required(name) {
  const value = process.env[name];
  if (!value) {
    throw new Error(`${name} is not set: run the browser tests through ctest`);
  }
  return value;
}

module.exports = {
  proxy: () => required("VPP_PROXY"),
  nxcspAdmin: () => required("VPP_NXCSP_ADMIN"),
  standInPortal: () => required("VPP_STAND_IN_PORTAL"),
  makeTestPki: () => required("VPP_MAKE_TEST_PKI"),
  seedDocuments: () => required("VPP_SEED_DOCUMENTS"),
  artifacts: () => required("VPP_TEST_ARTIFACTS"),
  chromium: () => process.env.VPP_CHROMIUM || "/usr/bin/chromium"
};
