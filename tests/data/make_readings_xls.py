# Makes readings.xls, a legacy (BIFF8) sheet of one month's readings for the
# readings import tests: plot number in A, T1 in B, T2 in C, no header. Run
# once with /usr/bin/python3 (python3-xlwt from Debian); the result is committed.
import xlwt

wb = xlwt.Workbook(encoding='utf-8')
sheet = wb.add_sheet('Показания')
rows = [['01', 10625, 5120], [2, 8410.5, 3305], ['03', 12077, '']]
for r, row in enumerate(rows):
    for c, value in enumerate(row):
        if value != '':
            sheet.write(r, c, value)
wb.save('readings.xls')
