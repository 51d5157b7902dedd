// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers

// Carries the embedded version block and nothing else; the tests read it from this file.
int main() {
    return 0;
}
