# Makes features.xls, a legacy (BIFF8) workbook of what python3-xlwt writes
# beyond texts and numbers: booleans, an error value, a formula (xlwt stores
# no result for it), rich text, runs of numbers in one record, and shared
# strings too long for one record, so they go on in continuation records.
# Run once with /usr/bin/python3 (python3-xlwt from Debian); the result is
# committed.
import xlwt

LATIN = '0123456789' * 900        # one byte a character, over 8 KB
CYRILLIC = 'съешь же ещё этих мягких булок, да выпей чаю. ' * 110  # two bytes each

wb = xlwt.Workbook(encoding='utf-8')
first = wb.add_sheet('Сводка')
first.write(0, 0, 'не этот лист')

sheet = wb.add_sheet('Данные')
sheet.write(0, 0, True)
sheet.write(0, 1, False)
sheet.row(0).set_cell_error(2, '#DIV/0!')
sheet.write(0, 3, xlwt.Formula('1+2'))
sheet.write(0, 4, 'после')
sheet.write(1, 0, LATIN)
sheet.write(1, 1, CYRILLIC)
sheet.write(1, 2, 'конец')
for c, value in enumerate([1, -7, 12.34, 2.5, 0.1, 1e10, 123456789, 2 ** 30]):
    sheet.write(2, c, value)
bold = xlwt.easyfont('bold true')
sheet.write_rich_text(3, 0, [('Жирный', bold), ' и обычный'])
wb.set_active_sheet(1)
wb.save('features.xls')
