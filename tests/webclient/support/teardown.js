"use strict";

/** Runs every clean-up step even when one fails, then reports the first failure. */
async function teardown(...steps) {
  let failure = null;
  for (const step of steps) {
    try {
      await step();
    } catch (e) {
      failure = failure || e;
    }
  }
  if (failure) {
    throw failure;
  }
}

module.exports = teardown;
