# Makes legacy.xls, the BIFF8 workbook the reader tests use. Run once with
# /usr/bin/python3 (python3-xlwt from Debian); the result is committed.
import datetime
import xlwt

wb = xlwt.Workbook(encoding='utf-8')
first = wb.add_sheet('Черновик')
first.write(0, 0, 'не этот лист')
first.write(1, 0, 999)

sheet = wb.add_sheet('Абоненты')
rows = [
    ['№', 'Фамилия И. О.', 'Адрес', 'Телефон', 'Тип счетчика', 'Примечание'],
    [1, 'Иванов И. И.', '01', '8-916-000-00-01', 'Меркурий 200', ''],
    [2, 'Петров П. П.', 12.5, 1500, '', 'долг'],
    [3, 'Сидорова А. Б.', -7.25, 123456789012345, 'СО-И446', 'примечание с "кавычками"'],
]
for r, row in enumerate(rows):
    for c, value in enumerate(row):
        if value != '':
            sheet.write(r, c, value)
sheet.write(5, 0, datetime.date(2024, 1, 12), xlwt.easyxf(num_format_str='DD.MM.YYYY'))
sheet.write(5, 1, 1, xlwt.easyxf(num_format_str='0.00'))
wb.set_active_sheet(1)
wb.save('legacy.xls')
