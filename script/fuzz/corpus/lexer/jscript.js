var s = "a\n\x41\\"; /* c */ x = 0x1F; // y
