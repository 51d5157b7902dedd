-- SPDX-License-Identifier: MIT
-- Copyright (c) 2026 The Loadspire Gauge developers
--
-- wrk script: update checks as the program posts them, from ten thousand different installs.
wrk.method = "POST"
wrk.headers["Content-Type"] = "application/x-www-form-urlencoded"

local prefix = "cmd=check&appname=KALDERN+-+Loadspire+Gauge&version=1.7" ..
    "&os=Debian+GNU%2FLinux+12+%28bookworm%29+%28Version+6.1%2C+Build+0%2C+64-bit+Edition%29" ..
    "&local=en-US&guid=%7B0F8FAD5B-D9CB-469F-A165-"

request = function()
    local guid = string.format("%012d%%7D", math.random(0, 9999))
    return wrk.format(nil, nil, nil, prefix .. guid)
end

-- Any reply but the version is an error worth seeing.
response = function(status, headers, body)
    if status ~= 200 then
        io.stderr:write("status " .. status .. ": " .. body .. "\n")
    end
end
