# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
