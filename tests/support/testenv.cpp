// Shared helpers for the test programs live in tests/support.
