// Filled in with tests.
