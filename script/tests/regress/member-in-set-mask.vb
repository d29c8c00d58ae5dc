' tsItalic In Thing.Style tested bit 2 (tsUnderline) of the mask: set members
' are masks themselves, and Style + [tsBold] added instead of joining.
Thing.Style = [tsItalic]
Print(tsItalic In Thing.Style)             ' expect: True
Print(tsUnderline In Thing.Style)          ' expect: False
Thing.Style = Thing.Style + [tsItalic]
Print(Thing.Style)                         ' expect: 2
