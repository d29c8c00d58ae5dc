int rpFuzzPreparedReport(const unsigned char*, unsigned long) { return 0; }
