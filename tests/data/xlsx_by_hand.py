# Writes an .xlsx package by hand with what openpyxl does not write: rich-text
# runs with phonetic hints, inline strings, stored formula results, errors,
# escaped characters, cells without references, parts in unusual places.
import sys, zipfile
ct = '''<?xml version="1.0" encoding="UTF-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/book/main.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
</Types>'''
rels = '''<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="book/main.xml"/>
</Relationships>'''
book = '''<?xml version="1.0" encoding="UTF-8"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<bookViews><workbookView activeTab="2"/></bookViews>
<sheets><sheet name="a" sheetId="1" r:id="rA"/><sheet name="b" sheetId="2" r:id="rB"/><sheet name="c" sheetId="3" r:id="rC"/></sheets>
</workbook>'''
bookrels = '''<?xml version="1.0" encoding="UTF-8"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rA" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="sheets/one.xml"/>
<Relationship Id="rC" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/book/sheets/three.xml"/>
<Relationship Id="rB" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="../two.xml"/>
<Relationship Id="rS" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="strings.xml"/>
</Relationships>'''
strings = '''<?xml version="1.0" encoding="UTF-8"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3" uniqueCount="3">
<si><t>простой</t></si>
<si><r><rPr><b/></rPr><t>Жир</t></r><r><t xml:space="preserve">ный и </t></r><r><t>обычный</t></r><rPh sb="0" eb="1"><t>ФОНЕТИКА</t></rPh></si>
<si><t>строка_x000D_вторая</t></si>
</sst>'''
sheet = '''<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<sheetData>
<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>2</v></c></row>
<row r="2"><c r="A2" t="inlineStr"><is><t>встроенный</t></is></c><c r="B2"><f>1+1</f><v>2</v></c><c r="C2" t="str"><f>"a"&amp;"b"</f><v>ab</v></c></row>
<row r="3"><c r="A3" t="b"><v>0</v></c><c r="B3" t="e"><v>#DIV/0!</v></c><c r="C3" s="1"/></row>
<row r="4"><c><v>4.5E-2</v></c><c><v>7</v></c></row>
<row><c r="C5"><v>-0</v></c></row>
</sheetData>
</worksheet>'''
other = '''<?xml version="1.0" encoding="UTF-8"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
<row r="1"><c r="A1" t="inlineStr"><is><t>другой лист</t></is></c></row></sheetData></worksheet>'''
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('[Content_Types].xml', ct)
    z.writestr('_rels/.rels', rels)
    z.writestr('book/main.xml', book)
    z.writestr('book/_rels/main.xml.rels', bookrels)
    z.writestr('book/strings.xml', strings)
    z.writestr('book/sheets/one.xml', other)
    z.writestr('two.xml', other)
    z.writestr('book/sheets/three.xml', sheet)
